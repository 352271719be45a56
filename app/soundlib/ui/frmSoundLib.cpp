#include "app/soundlib/ui/frmSoundLib.h"

#include "app/Globals.h"
#include "app/documents/SoundLibFile.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/shell/ui/EditCommands.h"
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/SoundSort.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "platform/Numbers.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int px(double twips)
{
    return vx::twipsToPixels(twips);
}

QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect at)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(at);
    return l;
}

Qt::CheckState toQt(CheckState state)
{
    return state == chkChecked ? Qt::Checked : state == chkGrey ? Qt::PartiallyChecked : Qt::Unchecked;
}

// The design widths of the columns, in twips.
constexpr int kColumnWidths[kSoundColumnCount] = {1450, 650, 1100, 630, 630, 6000};

// The panels on the right, in twips: 700 wider than the design's 4100 so that
// the properties line of a stereo sound reads on one line in this desktop's
// fonts. The window opens as much wider, so the list keeps its width.
constexpr int kPanelWidth = 4800;
constexpr int kPanelGrowth = kPanelWidth - 4100;
constexpr int kScaleStep = (3600 + kPanelGrowth) / 8; // an eighth of the gauge

} // namespace

frmSoundLib::frmSoundLib(QWidget *parent)
    : DocumentWindow(parent)
{
    setObjectName(QStringLiteral("frmSoundLib"));
    buildControls();
    wireSettings();
    // Form_Load
    resize(px(9400 + kPanelGrowth), px(5100));
    for (auto [caption, value] : {std::pair<QWidget *, QWidget *>{lblIndex, lblIndex1}, {lblTag, txtTag},
                                  {lblGate, txtGate}, {lblSRate, lblSRate1}, {lblMemUsed, lblMemUsed1}})
        caption->setToolTip(value->toolTip());
    ClearHeaderIcons();
    setReportView(AudioView == 1);
    txtHelp->setText(
        QStringLiteral("Click the Add Files button in the Toolbar, or drag one or more sound files onto this box."));
    // A new library shows the hint; opening a file hides it.
    txtHelp->show();
    UpdateSoundLibTotals();
}

void frmSoundLib::buildControls()
{
    model = new SoundLibModel(this);
    model->setParent(this);

    shaFileListFrame = new QFrame(this);
    shaFileListFrame->setObjectName(QStringLiteral("shaFileListFrame"));
    shaFileListFrame->setFrameShape(QFrame::Box);

    lvwFileList = new QStackedWidget(this);
    lvwFileList->setObjectName(QStringLiteral("lvwFileList"));
    lvwList = new QListView(lvwFileList);
    lvwList->setObjectName(QStringLiteral("lvwList"));
    lvwList->setViewMode(QListView::ListMode);
    lvwList->setFlow(QListView::TopToBottom);
    lvwList->setWrapping(true);
    lvwList->setResizeMode(QListView::Adjust);
    lvwList->setModel(model);
    lvwReport = new QTreeView(lvwFileList);
    lvwReport->setObjectName(QStringLiteral("lvwReport"));
    lvwReport->setRootIsDecorated(false);
    lvwReport->setUniformRowHeights(true);
    lvwReport->setAllColumnsShowFocus(true);
    lvwReport->setModel(model);
    // One selection for both views, so switching keeps it.
    lvwList->setSelectionModel(lvwReport->selectionModel());
    for (int c = 0; c < kSoundColumnCount; ++c)
        lvwReport->setColumnWidth(c, px(kColumnWidths[c]));
    // The widest figures a row shows: a five-digit tag, and the memory of the
    // estimate's largest value (2^31 - 1 bytes); the cell keeps the style's
    // text margin on both sides.
    const int textMargin = lvwReport->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvwReport) + 1;
    const auto fitColumn = [&](int column, const QString &widest) {
        const qreal text = QFontMetricsF(lvwReport->font()).horizontalAdvance(widest);
        lvwReport->setColumnWidth(column, std::max(lvwReport->columnWidth(column),
                                                   static_cast<int>(std::ceil(text)) + 2 * textMargin));
    };
    fitColumn(colTag, QStringLiteral("65534"));
    fitColumn(colMemUsed, MemUsedText(std::numeric_limits<qint32>::max()));
    lvwReport->header()->setSectionsMovable(false);
    lvwReport->header()->setStretchLastSection(false);
    lvwFileList->addWidget(lvwList);
    lvwFileList->addWidget(lvwReport);
    wireList(lvwList);
    wireList(lvwReport);
    connect(lvwReport->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { lvwFileList_ItemClick(); });

    tbFiles = new QToolBar(this);
    tbFiles->setObjectName(QStringLiteral("tbFiles"));
    tbFiles->setIconSize(QSize(16, 16));
    QStyle *st = style();
    btnLView = tbFiles->addAction(st->standardIcon(QStyle::SP_FileDialogListView), QString());
    btnLView->setObjectName(QStringLiteral("LView"));
    btnLView->setToolTip(QStringLiteral("List view"));
    btnTView = tbFiles->addAction(st->standardIcon(QStyle::SP_FileDialogDetailedView), QString());
    btnTView->setObjectName(QStringLiteral("TView"));
    btnTView->setToolTip(QStringLiteral("Table view"));
    for (QAction *a : {btnLView, btnTView})
        a->setCheckable(true);
    auto *group = new QActionGroup(this);
    group->addAction(btnLView);
    group->addAction(btnTView);
    tbFiles->addSeparator();
    btnRefresh = tbFiles->addAction(st->standardIcon(QStyle::SP_BrowserReload), QString());
    btnRefresh->setObjectName(QStringLiteral("Refresh"));
    btnRefresh->setToolTip(QStringLiteral("Update/validate the files in the library"));
    connect(tbFiles, &QToolBar::actionTriggered, this, &frmSoundLib::tbFiles_ButtonClick);

    txtHelp = new QLabel(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setWordWrap(true);
    txtHelp->setAlignment(Qt::AlignCenter);
    txtHelp->setFrameShape(QFrame::Box);
    txtHelp->setAutoFillBackground(true);
    txtHelp->setAttribute(Qt::WA_TransparentForMouseEvents); // drops land on the list beneath
    txtHelp->hide();

    fraProperties = new QGroupBox(QStringLiteral(" File Properties "), this);
    fraProperties->setObjectName(QStringLiteral("fraProperties"));
    picProperties = new QWidget(fraProperties);
    picProperties->setObjectName(QStringLiteral("picProperties"));
    picProperties->setGeometry(twipRect(60, 240, kPanelWidth - 140, 2700));
    QWidget *p = picProperties;
    picType = label(p, "picType", QString(), twipRect(60, 40, 480, 480));
    // Beside the icon there is room for two lines: a longer line wraps.
    lblProperties = label(p, "lblProperties", QString(), twipRect(620, 40, kPanelWidth - 800, 560));
    lblProperties->setWordWrap(true);
    lblFile = label(p, "lblFile", QStringLiteral("File:"), twipRect(60, 620, 700, 260));
    lblFile1 = label(p, "lblFile1", QString(), twipRect(800, 620, 3100 + kPanelGrowth, 260));
    lblFile1->setTextFormat(Qt::PlainText);
    lblIndex = label(p, "lblIndex", QStringLiteral("Index:"), twipRect(60, 940, 700, 260));
    lblIndex1 = label(p, "lblIndex1", QString(), twipRect(800, 940, 1000, 260));
    lblIndex1->setToolTip(QStringLiteral("Index (relative position) this file has in the sound library"));
    lblTag = label(p, "lblTag", QStringLiteral("Tag:"), twipRect(60, 1280, 700, 260));
    txtTag = new QLineEdit(p);
    txtTag->setObjectName(QStringLiteral("txtTag"));
    txtTag->setGeometry(twipRect(800, 1240, 1000, 320));
    txtTag->setToolTip(QStringLiteral("Allows files to be referenced by a user-defined tag. Enter a unique number "
                                      "between 1 and 65534 (0 if none)"));
    lblGate = label(p, "lblGate", QStringLiteral("Noise gate:"), twipRect(1950, 1280, 1000, 260));
    txtGate = new QLineEdit(p);
    txtGate->setObjectName(QStringLiteral("txtGate"));
    txtGate->setGeometry(twipRect(2950, 1240, 900, 320));
    txtGate->setToolTip(QStringLiteral("Reduces noise during pauses in speech or music"));
    chkCompress = new QCheckBox(QStringLiteral(" Comp"), p);
    chkCompress->setObjectName(QStringLiteral("chkCompress"));
    chkCompress->setGeometry(twipRect(60, 1680, 1400, 300));
    chkCompress->setToolTip(QStringLiteral("Check to compress the file (conserves recording memory space)"));
    chkBoost = new QCheckBox(QStringLiteral(" Boost"), p);
    chkBoost->setObjectName(QStringLiteral("chkBoost"));
    chkBoost->setGeometry(twipRect(1950, 1680, 1400, 300));
    chkBoost->setToolTip(QStringLiteral("Check to boost a low-level recording"));
    for (QCheckBox *c : {chkCompress, chkBoost})
        c->setTristate(true); // grey when the selected rows differ
    lblSRate = label(p, "lblSRate", QStringLiteral("Rate:"), twipRect(60, 2100, 700, 260));
    lblSRate1 = label(p, "lblSRate1", QString(), twipRect(800, 2100, 1100, 260));
    lblSRate1->setToolTip(QStringLiteral("Actual sampling rate that will be used for this file"));
    lblMemUsed = label(p, "lblMemUsed", QStringLiteral("Mem:"), twipRect(1950, 2100, 700, 260));
    // To the panel's edge: the largest figure, "< 2,097,152 KB", reads whole.
    lblMemUsed1 = label(p, "lblMemUsed1", QString(), twipRect(2650, 2100, kPanelWidth - 140 - 60 - 2650, 260));
    lblMemUsed1->setToolTip(QStringLiteral("Amount of recording memory required for this file"));

    fraLibSummary = new QGroupBox(QStringLiteral(" Library Properties "), this);
    fraLibSummary->setObjectName(QStringLiteral("fraLibSummary"));
    picMemStats = new QWidget(fraLibSummary);
    picMemStats->setObjectName(QStringLiteral("picMemStats"));
    picMemStats->setGeometry(twipRect(60, 240, kPanelWidth - 140, 1380));
    QWidget *m = picMemStats;
    lblMemFiles = label(m, "lblMemFiles", QStringLiteral("Files:"), twipRect(60, 40, 1300, 260));
    // The total has a line of its own across the panel: the largest a library
    // reaches, 5000 sounds of the estimate's largest value (2^31 - 1 bytes),
    // reads "Memory req'd (est): 10,485,759,995 KB".
    lblMemSize = label(m, "lblMemSize", QStringLiteral("Size:"), twipRect(60, 320, kPanelWidth - 260, 260));
    vbalMemUsed = new QProgressBar(m);
    vbalMemUsed->setObjectName(QStringLiteral("vbalMemUsed"));
    vbalMemUsed->setGeometry(twipRect(60, 680, 8 * kScaleStep, 300));
    vbalMemUsed->setRange(0, 1000); // tenths of a percent
    vbalMemUsed->setTextVisible(false);
    // The scale under the gauge: megabytes at the centre of each eighth.
    const char *const scale[] = {"0.5", "1.5  ", "2.5  ", "3.5  ", "4.5  ", "5.5  ", "6.5  ", "7.5  "};
    for (int i = 0; i < 8; ++i) {
        QLabel *l =
            label(m, "lblMUScale", QLatin1String(scale[i]), twipRect(60 + i * kScaleStep, 1040, kScaleStep, 240));
        l->setProperty("Index", 15 - i);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    label(m, "lblMB", QStringLiteral("MB"), twipRect(60 + 8 * kScaleStep, 1040, 300, 240));

    fraProperties->resize(px(kPanelWidth), px(3000));
    fraLibSummary->resize(px(kPanelWidth), px(1700));
}

QString frmSoundLib::AskSaveFileName(const QString &initial)
{
    return GetSaveSoundLibFileName(initial);
}

bool frmSoundLib::SaveFile(const QString &path, QString *error)
{
    QList<SoundEntry> entries;
    entries.reserve(rows().size());
    for (const SoundRow &r : std::as_const(rows()))
        entries << r.entry;
    return SaveSoundLibFile(path, entries, error);
}

bool frmSoundLib::LoadFile(const QString &path, QString *error)
{
    const std::optional<QList<SoundEntry>> entries = LoadSoundLibFile(path, error);
    if (!entries)
        return false;
    SoundRows &r = rows();
    r.clear();
    r.reserve(entries->size());
    for (const SoundEntry &e : *entries)
        r.append(SoundRow{e, MakeListItem(e)});
    model->reload();
    txtHelp->hide();
    if (!r.isEmpty())
        selectOnly(0);
    UpdateSoundLibTotals();
    activeView()->setFocus();
    return true;
}

SoundRows &frmSoundLib::rows() const
{
    return model->rows();
}

int frmSoundLib::currentRow() const
{
    const QModelIndex i = lvwReport->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

std::vector<bool> frmSoundLib::selectedRows() const
{
    std::vector<bool> sel(static_cast<size_t>(rows().size()), false);
    for (const QModelIndex &i : lvwReport->selectionModel()->selectedRows())
        sel[static_cast<size_t>(i.row())] = true;
    return sel;
}

void frmSoundLib::selectOnly(int row)
{
    if (row < 0 || row >= rows().size())
        return;
    const QModelIndex i = model->index(row, 0);
    lvwReport->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    activeView()->scrollTo(i);
}

bool frmSoundLib::isReportView() const
{
    return lvwFileList->currentWidget() == lvwReport;
}

void frmSoundLib::setReportView(bool report)
{
    lvwFileList->setCurrentWidget(report ? static_cast<QWidget *>(lvwReport) : lvwList);
    btnTView->setChecked(report);
    btnLView->setChecked(!report);
    const QModelIndex cur = lvwReport->selectionModel()->currentIndex();
    if (cur.isValid())
        activeView()->scrollTo(cur);
}

QAbstractItemView *frmSoundLib::activeView() const
{
    return isReportView() ? static_cast<QAbstractItemView *>(lvwReport) : lvwList;
}

WindowState frmSoundLib::state() const
{
    WindowState s;
    s.kind = vx::WindowKind::SoundLib;
    s.control = vx::ActiveControl::Other;
    const int sl = slot();
    s.dirty = sl >= 0 && sl < DocState.size() && DocState[sl].Dirty;
    s.soundItems = static_cast<int>(rows().size());
    const int cur = currentRow();
    s.selectedSoundKind = cur >= 0 ? rows()[cur].entry.Kind : -1;
    return s;
}

void frmSoundLib::resizeEvent(QResizeEvent *event)
{
    DocumentWindow::resizeEvent(event);
    Form_Resize();
}

void frmSoundLib::Form_Resize()
{
    Resizing = true;
    const int W = vx::pixelsToTwips(width());
    const int H = vx::pixelsToTwips(height());
    const int listTop = 560;
    const int listLeft = 60;
    const int listH = H > 560 ? H - 560 : H;
    const int listW = W > kPanelWidth + 360 ? W - kPanelWidth - 360 : W;
    lvwFileList->setGeometry(twipRect(listLeft, listTop - 60, listW, listH));
    lvwFileList->setVisible(W > kPanelWidth + 350);
    tbFiles->setGeometry(twipRect(listLeft, 40, 1500, 420));
    tbFiles->setVisible(W > 5600 + kPanelGrowth);
    fraProperties->move(px(W - kPanelWidth - 100), px(0));
    fraLibSummary->move(px(W - kPanelWidth - 100), px(3100));
    shaFileListFrame->setGeometry(twipRect(listLeft - 20, listTop - 80, listW + 40, listH + 50));
    shaFileListFrame->setVisible(lvwFileList->isVisibleTo(this));
    txtHelp->setGeometry(twipRect(listW / 4, listH / 4 + 300, listW / 2 + 250, listH / 2 + 250));
    txtHelp->raise();
    Resizing = false;
}

void frmSoundLib::ClearHeaderIcons()
{
    model->clearHeaderArrows();
}

void frmSoundLib::setAltRowColours()
{
    // Bands only in the table view, and only when the list has rows.
    SetListViewAltRowColors(lvwReport, 0xFFFFFF, 0xF0F0F0);
}

void frmSoundLib::tbFiles_ButtonClick(QAction *Button)
{
    if (Button == btnLView || Button == btnTView) {
        setReportView(Button == btnTView);
        setAltRowColours();
    } else if (Button == btnRefresh) {
        CheckMissingSoundFiles();
    }
    activeView()->setFocus();
}

void frmSoundLib::UpdateSoundLibTotals()
{
    const SoundRows &r = rows();
    if (r.isEmpty()) {
        {
            const QSignalBlocker b1(chkCompress), b2(chkBoost);
            chkCompress->setCheckState(Qt::Unchecked);
            chkBoost->setCheckState(Qt::Unchecked);
        }
        for (QLabel *l : {lblFile1, lblIndex1, lblMemUsed1, lblSRate1, lblProperties})
            l->clear();
        txtTag->clear();
        picType->clear();
        picType->setProperty("IconKey", QString());
        picProperties->setEnabled(false);
    } else {
        picProperties->setEnabled(true);
        txtHelp->hide();
    }
    const SoundLibTotals totals = ComputeSoundLibTotals(r);
    lngTotalSamples = totals.totalBytes;
    lblMemFiles->setText(totals.filesText);
    lblMemSize->setText(totals.sizeText);
    vbalMemUsed->setProperty("Value", totals.gauge);
    vbalMemUsed->setValue(static_cast<int>(std::clamp(std::lround(totals.gauge * 10), 0L, 1000L)));
    btnRefresh->setEnabled(!r.isEmpty());
    setAltRowColours();
    if (!r.isEmpty()) {
        const int cur = currentRow();
        if (cur >= 0)
            ShowSoundFileProperties(r[cur].entry);
    }
}

void frmSoundLib::ShowSoundFileProperties(const SoundEntry &R)
{
    SuppressCheckEvents = true;
    const QPalette normal = QApplication::palette();
    for (QLabel *l : {lblFile1, lblIndex1, lblMemUsed1, lblSRate1})
        l->setPalette(normal);
    for (QWidget *w : std::initializer_list<QWidget *>{txtTag, txtGate, chkCompress, chkBoost})
        w->setEnabled(false);
    txtGate->clear();

    const std::vector<bool> sel = selectedRows();
    QString icon;
    switch (R.Kind) {
    case sfkWave:
    case sfkMp3:
        icon = R.Kind == sfkWave ? QStringLiteral("Wave") : QStringLiteral("Mp3");
        for (QWidget *w : std::initializer_list<QWidget *>{txtTag, txtGate, chkCompress, chkBoost})
            w->setEnabled(true);
        txtGate->setText(QString::number(R.NoiseGate));
        chkCompress->setCheckState(toQt(::SyncCompressCheck(rows(), sel)));
        chkBoost->setCheckState(toQt(::SyncBoostCheck(rows(), sel)));
        break;
    case sfkPcm:
        icon = QStringLiteral("Pcm");
        txtTag->setEnabled(true);
        chkCompress->setEnabled(true);
        chkCompress->setCheckState(R.Compress ? Qt::Checked : Qt::Unchecked);
        chkBoost->setCheckState(Qt::Unchecked);
        break;
    case sfkCompressedPcm:
        icon = QStringLiteral("Adpcm");
        txtTag->setEnabled(true);
        chkCompress->setCheckState(Qt::Checked);
        chkBoost->setCheckState(Qt::Unchecked);
        break;
    default: {
        icon = QStringLiteral("Badfile");
        QPalette grey = normal;
        grey.setColor(QPalette::WindowText, normal.color(QPalette::Disabled, QPalette::WindowText));
        for (QLabel *l : {lblFile1, lblIndex1, lblMemUsed1, lblSRate1})
            l->setPalette(grey);
        break;
    }
    }
    picType->setProperty("IconKey", icon);
    QStyle *st = style();
    const QStyle::StandardPixmap pm = icon == QLatin1String("Badfile") ? QStyle::SP_MessageBoxWarning
        : icon == QLatin1String("Mp3") || icon == QLatin1String("Wave") ? QStyle::SP_MediaVolume
                                                                        : QStyle::SP_DriveHDIcon;
    picType->setPixmap(st->standardIcon(pm).pixmap(px(480)));

    // Names are shown as they are: a plain-text label has no accelerators.
    lblFile1->setText(R.FileName);
    lblFile->setToolTip(R.Location);
    lblFile1->setToolTip(R.Location);
    lblIndex1->setText(QString::number(currentRow()));
    txtTag->setText(QString::number(R.Tag));
    lblProperties->setText(PropertiesLine(R));
    lblMemUsed1->setText(MemLabel(R));
    lblSRate1->setText(RateLabel(R));
    SuppressCheckEvents = false;
}

void UpdateSoundLibTotals()
{
    if (auto *w = qobject_cast<frmSoundLib *>(ActiveChild()))
        w->UpdateSoundLibTotals();
}

void RegisterSoundLibDocuments()
{
    RegisterDocumentKind(vx::WindowKind::SoundLib, [] { return new frmSoundLib; });
}
