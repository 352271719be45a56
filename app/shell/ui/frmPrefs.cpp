#include "app/soundlib/ui/frmSoundLib.h"
#include "app/shell/ui/frmPrefs.h"

#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/EditorFont.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/shell/ui/ToolbarState.h"
#include "common/ui/Rollover.h"
#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "link/SerialComm.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/ui/Modal.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

using vx::twipsToPixels;

QFont &EditorFont()
{
    static QFont font;
    return font;
}

namespace {

// Cleared by Qt when the main window takes the dialog down with it.
vx::LoadedForm<frmPrefs> gForm;

constexpr int kPanelLeft = 1520;
constexpr int kPanelTop = 700;
constexpr int kParked = -20000;
constexpr std::array<int, 4> kHelpContext = {vx::help::kGeneralSettings, vx::help::kAppearanceSettings,
                                              vx::help::kSoundLibrarySettings, vx::help::kDictionarySettings};

const char *const kTitles[4] = {"General Settings", "Appearance Settings", "Sound Library Settings",
                                "Dictionary Settings"};

QString S(const char *text)
{
    return QString::fromLatin1(text);
}

void setTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace

frmPrefs *frmPrefs::instance()
{
    return gForm.get();
}

void frmPrefs::unload()
{
    gForm.unload();
}

void frmPrefs::Form_Load()
{
    // Size and the fixed parts of the layout.
    setFixedSize(twipsToPixels(7300), twipsToPixels(5000));
    setTwips(shaPrefsFrame, 60, 60, 7300 - 120, 5000 - 120);
    imgPrefsTitle->setGeometry(twipsToPixels(75), twipsToPixels(75), shaPrefsFrame->width() - twipsToPixels(30),
                               twipsToPixels(480));
    setTwips(lblPTitle, kPanelLeft, 120, 7300 - kPanelLeft - 200, 400);
    lblPTitle->raise();
    lblPTitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    setTwips(picCmdButtons, 1560, 3960, 7300 - 1560 - 200, 520);
    for (int i = 0; i < 4; ++i) {
        setTwips(picPpanels[i], 150, i * 720 + 700, 1250, 650);
        setTwips(lblPpanels[i], 170, i * 720 + 720, 1210, 610);
        lblPpanels[i]->raise();
    }
    picActivePanelTab->lower();
    shaPrefsFrame->lower();

    // The port list.
    for (int n = 1; n <= kPortCount; ++n) {
        cboPrefsPort->addItem(QStringLiteral("COM") + QString::number(n));
        // What the port number reaches on this machine.
        cboPrefsPort->setItemData(n - 1, SerialComm::deviceFor(n), Qt::ToolTipRole);
    }
    cboPrefsPort->setMaxVisibleItems(16);

    // The editor font.
    LoadFontSettings();

    // Every panel parked.
    for (QWidget *panel : picPrefs) {
        setTwips(panel, kParked, kPanelTop, 7300 - kPanelLeft - 110, 3960 - kPanelTop - 60);
        panel->setEnabled(false);
    }

    // The frames' tool tips on the controls inside them.
    chkPrefsTblAltColor->setToolTip(chkPrefsTblAltColor->parentWidget()->toolTip());
    chkPrefsHighlight->setToolTip(chkPrefsHighlight->parentWidget()->toolTip());
    for (QWidget *w : std::initializer_list<QWidget *>{cboPrefsFonts, cboPrefsFontSize, txtPrefsFontSample})
        w->setToolTip(w->parentWidget()->toolTip());

    // The first panel.
    NewTab(0);
}

void frmPrefs::LoadFontSettings()
{
    FontName = GetSetting(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("FontName"));
    FontSize = GetSetting(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("FontSize"));
    // Consolas when installed, else Courier New; a desktop with neither gets
    // its own fixed-pitch family, so the list and the sample show a real font.
    const QStringList families = FontFamilies(QFontDatabase::families());
    cboPrefsFonts->addItems(families);
    QString fallback = ListedFamily(families, QStringLiteral("Consolas"));
    if (fallback.isEmpty())
        fallback = ListedFamily(families, QStringLiteral("Courier New"));
    if (fallback.isEmpty()) {
        // The desktop's fixed-pitch font, by the name the list knows it by:
        // its alias ("monospace") or else the family it resolves to.
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fallback = ListedFamily(families, fixed.family());
        if (fallback.isEmpty())
            fallback = ListedFamily(families, QFontInfo(fixed).family());
    }
    if (FontName.isEmpty()) {
        FontName = fallback;
        FontSize = QStringLiteral("8");
    } else if (const QString listed = ListedFamily(families, FontName); !listed.isEmpty()) {
        FontName = listed;
    }
    EditorFont().setFamily(FontName);
    EditorFont().setPointSizeF(vx::settingToDouble(FontSize, 8));
}

QStringList frmPrefs::FontFamilies(const QStringList &installed)
{
    QStringList out;
    for (QString family : installed) {
        // "C059 [urw]": the foundry in brackets.
        if (family.endsWith(QLatin1Char(']'))) {
            const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
            if (open > 0)
                family.truncate(open);
        }
        family = family.trimmed();
        if (!family.isEmpty() && !out.contains(family, Qt::CaseInsensitive))
            out << family;
    }
    out.sort(Qt::CaseInsensitive);
    return out;
}

QString frmPrefs::ListedFamily(const QStringList &list, const QString &family)
{
    for (const QString &entry : list)
        if (entry.compare(family, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

void frmPrefs::wire()
{
    auto onOption = [this](const std::array<QRadioButton *, 2> &opts, auto apply) {
        for (int i = 0; i < 2; ++i)
            connect(opts[i], &QRadioButton::toggled, this, [this, i, apply](bool on) {
                if (!on)
                    return;
                apply(i);
                changed();
            });
    };
    onOption(optPrefsFileCompat, [](int i) { SV10DataFiles = (i == 1); });
    onOption(optPrefsAudType, [](int i) { DfltPCMEnc = (i == 1); });
    onOption(optPrefsAudView, [](int i) { AudioView = i; });
    onOption(optPrefsAudDblClk, [](int i) { AudioDblClk = i; });
    onOption(optPrefsAudPlayer, [](int i) { AudioPlayer = i; });
    onOption(optPrefsDictSynCk, [](int i) { DictSynCk = i; });
    onOption(optPrefsDictCharSet, [](int i) { DictCharSet = i; });

    connect(chkPrefsGrt, &QCheckBox::toggled, this, [this](bool on) { GrtCtls = on; changed(); });
    connect(chkPrefsHighlight, &QCheckBox::toggled, this, [this](bool on) { Highlight = on; changed(); });
    connect(chkPrefsTblAltColor, &QCheckBox::toggled, this, [this](bool on) { TblAltColor = on; changed(); });

    connect(cboPrefsBaudRate, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item + 1 != BaudRate)
            changed();
        BaudRate = item + 1;
    });
    connect(cboPrefsPort, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item + 1 != Port)
            changed();
        // In demo mode the choice is taken by OK.
        if (Port != 0)
            Port = item + 1;
    });
    connect(cboPrefsFonts, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item < 0)
            return;
        const QString name = cboPrefsFonts->itemText(item);
        if (name != FontName)
            changed();
        FontName = name;
        txtPrefsFontSample->setText(name);
        QFont f = txtPrefsFontSample->font();
        f.setFamily(name);
        f.setBold(false);
        f.setItalic(false);
        txtPrefsFontSample->setFont(f);
    });
    connect(cboPrefsFontSize, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item < 0)
            return;
        const QString size = cboPrefsFontSize->itemText(item);
        if (size != FontSize)
            changed();
        FontSize = size;
        QFont f = txtPrefsFontSample->font();
        f.setPointSizeF(vx::settingToDouble(size, 8));
        txtPrefsFontSample->setFont(f);
    });
    connect(txtPrefsAudEditor, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != AudioEditor)
            changed();
        AudioEditor = text;
    });
    connect(txtPrefsCmdChar, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != CommandChar)
            changed();
        // An empty box switches the shortcut off.
        CommandChar = text;
    });

    connect(cmdOK, &QPushButton::clicked, this, &frmPrefs::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrefs::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmPrefs::cmdApply_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmPrefs::cmdHelp_Click);
    connect(cmdAudEditorBrowse, &QPushButton::clicked, this, &frmPrefs::cmdAudEditorBrowse_Click);
}

void frmPrefs::changed()
{
    cmdApply->setEnabled(true);
}

void frmPrefs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mActivated)
        return;
    mActivated = true;
    Form_Activate();
}

void frmPrefs::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Minimising hides the dialog too, as a spontaneous event; only a real
    // hide ends the showing.
    if (!event->spontaneous())
        mActivated = false;
}

void frmPrefs::Form_Activate()
{
    optPrefsAudPlayer[0]->setText(QStringLiteral(" &") + ModuleName);
    lblCmdCharHelp->setText(QStringLiteral("Used for entering ") + ChipModel +
                            QStringLiteral(" commands in text boxes ") +
                            QStringLiteral("and dictionaries. Clear the box to disable this feature."));

    cboPrefsFonts->setCurrentIndex(cboPrefsFonts->findText(FontName, Qt::MatchFixedString));
    cboPrefsFontSize->setCurrentIndex(cboPrefsFontSize->findText(FontSize, Qt::MatchExactly));

    if (Port != 0) {
        cboPrefsPort->setCurrentIndex(Port - 1 < cboPrefsPort->count() ? Port - 1 : -1);
    } else {
        const int stored =
            vx::readInt(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("Port"), 0);
        cboPrefsPort->setCurrentIndex(stored >= 1 && stored <= cboPrefsPort->count() ? stored - 1 : -1);
    }

    cboPrefsBaudRate->setCurrentIndex(BaudRate - 1);
    optPrefsFileCompat[SV10DataFiles ? 1 : 0]->setChecked(true);
    chkPrefsGrt->setChecked(GrtCtls);
    chkPrefsTblAltColor->setChecked(TblAltColor);
    chkPrefsHighlight->setChecked(Highlight);
    txtPrefsCmdChar->setText(CommandChar);
    optPrefsAudView[AudioView == 1 ? 1 : 0]->setChecked(true);
    optPrefsAudType[DfltPCMEnc ? 1 : 0]->setChecked(true);
    optPrefsAudPlayer[AudioPlayer == 1 ? 1 : 0]->setChecked(true);
    txtPrefsAudEditor->setText(AudioEditor);
    optPrefsAudDblClk[AudioDblClk == 1 ? 1 : 0]->setChecked(true);
    optPrefsDictSynCk[DictSynCk == 1 ? 1 : 0]->setChecked(true);
    optPrefsDictCharSet[DictCharSet == 0 ? 0 : 1]->setChecked(true);

    SnapshotSettings();
    cmdApply->setEnabled(false);
}

void frmPrefs::NewTab(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    lblPTitle->setText(S(kTitles[Index]));
    setTwips(picActivePanelTab, 100, (Index + 1) * 720 - 370 + 350, 1400, 650);
    lblActivePanelTab->setText(lblPpanels[Index]->text());
    lblActivePanelTab->setGeometry(lblPpanels[Index]->geometry());
    lblActivePanelTab->raise();
    for (int i = 0; i < 4; ++i)
        lblPpanels[i]->setVisible(i != Index);

    QWidget *previous = picPrefs[mTab];
    previous->move(twipsToPixels(kParked), previous->y());
    previous->setEnabled(false);
    QWidget *panel = picPrefs[Index];
    panel->move(twipsToPixels(kPanelLeft), twipsToPixels(kPanelTop));
    panel->setEnabled(true);
    mTab = Index;

    UpdateToolbarState();
    if (isVisible())
        panel->setFocus();
}

void frmPrefs::cmdApply_Click()
{
    StorePreferences();
    if (FontName != FontNameSaved || FontSize != FontSizeSaved)
        ApplyFontToWindows();
    if (TblAltColor != TblAltColorSaved) {
        for (int slot = 2; slot < DocState.size(); ++slot) {
            if (DocState[slot].Deleted)
                continue;
            if (QWidget *w = DocumentAt(slot))
                if (auto *list = w->findChild<QWidget *>(QStringLiteral("lvwFileList")))
                    SetListViewAltRowColors(list, 0xFFFFFF, 0xF0F0F0);
        }
    }
    SnapshotSettings();
    cmdApply->setEnabled(false);
}

void frmPrefs::ApplyFontToWindows()
{
    FontLoading = true;
    QFont &font = EditorFont();
    font.setFamily(FontName);
    font.setPointSizeF(vx::settingToDouble(FontSize, 8));
    font.setBold(false);
    font.setItalic(false);
    // A font is a value here, so every editor control is given it again: the
    // phonetic output's too.
    for (int slot = 1; slot < DocState.size(); ++slot) {
        if (!DocState[slot].Deleted)
            ApplyEditorFont(DocumentAt(slot));
    }
    FontLoading = false;
}

void frmPrefs::cmdOK_Click()
{
    cmdApply_Click();
    const int item = cboPrefsPort->currentIndex();
    Port = item < 0 ? 0 : item + 1;
    hide();
}

void frmPrefs::cmdCancel_Click()
{
    RestoreSettings();
    hide();
}

void frmPrefs::reject()
{
    cmdCancel_Click();
}

void frmPrefs::closeEvent(QCloseEvent *event)
{
    // The close box is Cancel; the dialog is hidden, never unloaded.
    event->ignore();
    cmdCancel_Click();
}

void frmPrefs::cmdHelp_Click()
{
    vx::showHelpTopic(kHelpContext[static_cast<size_t>(mTab)]);
}

void frmPrefs::cmdAudEditorBrowse_Click()
{
    // Programs here carry no extension: the first filter lists what may be run.
    const QString file = vx::OpenFileDialog(QStringLiteral("Select External Sound File Editor"),
                                            QStringLiteral("Executable Files|") + QLatin1String(vx::kExecutableFiles) +
                                                QStringLiteral("|Program Files|*.exe;*.com|All Files (*.*)|*.*"));
    if (!file.isEmpty())
        txtPrefsAudEditor->setText(file);
}

bool frmPrefs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove) {
        for (int i = 0; i < 4; ++i) {
            if (watched == picPpanels[i] || watched == lblPpanels[i]) {
                if (event->type() == QEvent::MouseMove) {
                    SetRollover(static_cast<QWidget *>(watched));
                    return false;
                }
                NewTab(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
