#include "tolvane/ui/frmMain.h"

#include "tolvane/Globals.h"
#include "tolvane/Session.h"
#include "tolvane/TolvanePrefs.h"
#include "tolvane/ui/ClickLabel.h"
#include "tolvane/ui/frmFileDrop.h"

#include "common/TextUtil.h"
#include "common/ui/Rollover.h"
#include "link/cTolvane.h"
#include "platform/Help.h"
#include "platform/ui/Modal.h"
#include "platform/ui/WrittenLines.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace {

// Window measures are kept in twips; 15 twips make a pixel at 96 dpi.
constexpr int tw(int twips) { return twips / 15; }

const QColor kTaskBlue(33, 93, 198);

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *label(QWidget *parent, const QString &text, const char *name, int left, int top, int width, int height = 255)
{
    auto *l = named(new QLabel(text, parent), name);
    l->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return l;
}

ClickLabel *link(QWidget *parent, const QString &text, const char *name, int left, int top, int width,
                 const QString &tip = QString())
{
    auto *l = named(new ClickLabel(text, parent), name);
    l->setGeometry(tw(left), tw(top), tw(width), tw(255));
    l->setToolTip(tip);
    SetRolloverLook(l, false);
    return l;
}

QPixmap led(const QColor &colour)
{
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(160));
    p.drawEllipse(1, 1, 12, 12);
    return pm;
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    cTolv = new cTolvane(this);
    G.Comm = cTolv->GetCommObject();
    connect(cTolv, &cTolvane::PercentDone, this, &frmMain::cTolv_PercentDone, Qt::DirectConnection);
    connect(cTolv, &cTolvane::ChipStatus, this, &frmMain::cTolv_ChipStatus, Qt::DirectConnection);
    connect(cTolv, &cTolvane::ConfirmUpdate, this, &frmMain::cTolv_ConfirmUpdate, Qt::DirectConnection);
    BuildWindow();
    vx::setDialogOwner(this);
}

frmMain::~frmMain()
{
    SetRollover(nullptr);
    vx::setRolloverHost(nullptr);
    if (vx::DialogOwner() == this)
        vx::setDialogOwner(nullptr);
    G.Comm = nullptr;
}

void frmMain::BuildWindow()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    setFixedSize(tw(7420), tw(5400));

    auto *imgTitleBar = named(new QFrame(client), "imgTitleBar");
    imgTitleBar->setGeometry(0, 0, tw(7420), tw(600));
    imgTitleBar->setStyleSheet(QStringLiteral("background-color: rgb(33, 93, 198);"));
    auto *lblTitleBar = label(client, QStringLiteral("Tolvane"), "lblTitleBar", 240, 120, 4000, 400);
    lblTitleBar->setStyleSheet(QStringLiteral("color: white; font-size: 16pt; font-weight: bold;"));

    static const char *const taskNames[] = {"Display Chipset Info", "Download a File", "Recording Memory Ops",
                                            "Communications Setup", "Tasks"};
    for (int i = 0; i < 5; ++i) {
        const int top = i == 4 ? 840 : 1260 + i * 360;
        lblTask[i] = link(client, QLatin1String(taskNames[i]), "lblTask", i == 4 ? 240 : 480, top, 3000);
        lblTask[i]->setProperty("Index", i);
        if (i == 4) {
            QFont f = lblTask[i]->font();
            f.setBold(true);
            lblTask[i]->setFont(f);
            lblTask[i]->setStyleSheet(QStringLiteral("color: black;"));
            continue;
        }
        connect(lblTask[i], &ClickLabel::clicked, this, [this, i] { lblTask_Click(i); });
        connect(lblTask[i], &ClickLabel::mouseMoved, this, [this, i] { lblTask_MouseMove(i); });
    }

    for (int i = 0; i < 4; ++i) {
        picTaskWindow[i] = named(new QFrame(client), "picTaskWindow");
        picTaskWindow[i]->setProperty("Index", i);
        picTaskWindow[i]->setGeometry(tw(-20000), tw(840), tw(3500), tw(3000));
        picTaskWindow[i]->setFrameShape(QFrame::StyledPanel);
    }
    BuildChipInfoPage(picTaskWindow[0]);
    BuildRecMemPage(picTaskWindow[2]);
    BuildCommPage(picTaskWindow[3]);

    picProgress = named(new QFrame(client), "picProgress");
    picProgress->setGeometry(tw(240), tw(3960), tw(6940), tw(330));
    vbalProgress = named(new QProgressBar(picProgress), "vbalProgress");
    vbalProgress->setGeometry(0, 0, tw(6940), tw(330));
    vbalProgress->setRange(0, 100);
    vbalProgress->setTextVisible(true);
    picProgress->hide();

    lblProgressMsg = label(client, QString(), "lblProgressMsg", 240, 4380, 5500, 480);
    lblProgressMsg->setWordWrap(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), client), "cmdCancel");
    cmdCancel->setGeometry(tw(5940), tw(4400), tw(1200), tw(375));
    cmdCancel->hide();
    // The message line takes the room the strip and the button leave it.
    picProgress->installEventFilter(this);
    cmdCancel->installEventFilter(this);

    fraStatus = named(new QFrame(client), "fraStatus");
    fraStatus->setGeometry(tw(240), tw(3000), tw(3200), tw(720));
    fraStatus->setFrameShape(QFrame::StyledPanel);
    fraStatus->setStyleSheet(QStringLiteral("#fraStatus { background-color: rgb(33, 93, 198); }"));
    picLEDGreen = named(new QLabel(fraStatus), "picLEDGreen");
    picLEDGreen->setPixmap(led(QColor(0, 200, 0)));
    picLEDGreen->setGeometry(tw(150), tw(240), 16, 16);
    picLEDRed = named(new QLabel(fraStatus), "picLEDRed");
    picLEDRed->setPixmap(led(QColor(230, 0, 0)));
    picLEDRed->setGeometry(tw(150), tw(240), 16, 16);
    named(new QLabel(picLEDRed), "Gif89a1");
    picLEDRed->hide();
    lblComInfo[0] = label(fraStatus, QString(), "lblComInfo", 600, 210, 2400, 300);
    lblComInfo[0]->setStyleSheet(QStringLiteral("color: gray; font-weight: bold;"));
    lblComInfo[1] = label(fraStatus, QString(), "lblComInfo", 610, 220, 2400, 300);
    lblComInfo[1]->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, [] { SetRollover(nullptr); });
    vx::setRolloverHost(Timer1, vx::RolloverPictures::BackgroundOnly);

    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
}

void frmMain::BuildChipInfoPage(QFrame *page)
{
    label(page, QStringLiteral("Chipset"), "lblChipsetHead", 120, 120, 3000)->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label(page, QStringLiteral("Family:"), "lblProduct", 240, 420, 1200);
    label(page, QStringLiteral("Version:"), "lblFwVer", 240, 700, 1200);
    label(page, QStringLiteral("Buffer size:"), "lblInpBuf", 240, 980, 1200);
    label(page, QStringLiteral("Recording Memory"), "lblRecMemHead", 120, 1380, 3000)->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label(page, QStringLiteral("Total:"), "lblRecMemTtl", 240, 1680, 1200);
    label(page, QStringLiteral("Avail:"), "lblRecMemAvail", 240, 1960, 1200);
    label(page, QStringLiteral("Files:"), "lblNumOfFiles", 240, 2240, 1200);
    lblProductVal = label(page, QString(), "lblProductVal", 1500, 420, 1900);
    lblFwVerNum = label(page, QString(), "lblFwVerNum", 1500, 700, 1900);
    lblInpBufSize = label(page, QString(), "lblInpBufSize", 1500, 980, 1900);
    lblRecMemTtlVal = label(page, QString(), "lblRecMemTtlVal", 1500, 1680, 1900);
    lblRecMemAvailVal = label(page, QString(), "lblRecMemAvailVal", 1500, 1960, 1900);
    lblNumOfFilesVal = label(page, QString(), "lblNumOfFilesVal", 1500, 2240, 1900);
    label(page, QStringLiteral("Info"), "lblInfo", 2900, 120, 500);
    lblUpdate = link(page, QStringLiteral("Update Now"), "lblUpdate", 240, 2620, 1500, QStringLiteral("Display chipset info"));
    connect(lblUpdate, &ClickLabel::clicked, this, [this] {
        if (!G.Busy)
            RefreshChipInfo();
    });
    connect(lblUpdate, &ClickLabel::mouseMoved, this, [this] { hoverLabel(lblUpdate); });
}

void frmMain::BuildRecMemPage(QFrame *page)
{
    label(page, QStringLiteral("Recording Memory"), "lblRecMem", 120, 120, 3000)->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label(page, QStringLiteral("Access by:"), "Label1", 240, 460, 1100);
    optIndexType[0] = named(new QRadioButton(QStringLiteral("&Index"), page), "optIndexType");
    optIndexType[0]->setGeometry(tw(1380), tw(430), tw(1000), tw(300));
    optIndexType[0]->setToolTip(QStringLiteral("Reference the file by its index value"));
    optIndexType[0]->setChecked(true);
    optIndexType[1] = named(new QRadioButton(QStringLiteral("&Tag"), page), "optIndexType");
    optIndexType[1]->setGeometry(tw(2380), tw(430), tw(1000), tw(300));
    optIndexType[1]->setToolTip(QStringLiteral("Reference the file by its tag value"));
    label(page, QStringLiteral("File:"), "lblFile", 240, 860, 1100);
    txtIndexVal = named(new QLineEdit(page), "txtIndexVal");
    txtIndexVal->setGeometry(tw(1380), tw(820), tw(1200), tw(330));
    txtIndexVal->setToolTip(QStringLiteral("Determines which sound file is accessed in recording memory"));
    connect(txtIndexVal, &QLineEdit::textChanged, this, &frmMain::txtIndexVal_Change);

    static const char *const names[] = {"Upload", "Initialize", "Delete", "Play", "Repair"};
    static const char *const tips[] = {"Upload sound file from recording memory", "Initialize (format) recording memory",
                                       "Delete sound file from recording memory", "Play sound file from recording memory",
                                       "Repair recording memory"};
    for (int i = 0; i < 5; ++i) {
        lblRecMemCmd[i] = link(page, QLatin1String(names[i]), "lblRecMemCmd", 480, 1340 + i * 300, 2000,
                               QLatin1String(tips[i]));
        lblRecMemCmd[i]->setProperty("Index", i);
        connect(lblRecMemCmd[i], &ClickLabel::clicked, this, [this, i] { lblRecMemCmd_Click(i); });
        connect(lblRecMemCmd[i], &ClickLabel::mouseMoved, this, [this, i] { hoverLabel(lblRecMemCmd[i]); });
    }
}

void frmMain::BuildCommPage(QFrame *page)
{
    label(page, QStringLiteral("Communications"), "lblComm", 120, 120, 3000)->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label(page, QStringLiteral("Port:"), "lblPort", 240, 560, 1100);
    cboPort = named(new QComboBox(page), "cboPort");
    cboPort->setGeometry(tw(1380), tw(500), tw(1500), tw(330));
    label(page, QStringLiteral("Baud Rate:"), "lblBaudRate", 240, 1000, 1100);
    cboBaudRate = named(new QComboBox(page), "cboBaudRate");
    cboBaudRate->setGeometry(tw(1380), tw(940), tw(1500), tw(330));
    cboBaudRate->addItems(tolv::baudRates());
    cboBaudRate->setCurrentIndex(-1);
    lblResetDialogs = link(page, QStringLiteral("Reset Dialog Windows"), "lblResetDialogs", 240, 1600, 2800,
                           QStringLiteral("Reset all \"Don't show again\" notifications"));
    connect(lblResetDialogs, &ClickLabel::clicked, this, &frmMain::lblResetDialogs_Click);
    connect(lblResetDialogs, &ClickLabel::mouseMoved, this, [this] { hoverLabel(lblResetDialogs); });
    // Only a choice of the user's counts; the lists are filled and selected
    // by FillPortLists, which calls the handlers itself.
    connect(cboPort, &QComboBox::activated, this, &frmMain::cboPort_Click);
    connect(cboBaudRate, &QComboBox::activated, this, &frmMain::cboBaudRate_Click);
}

bool frmMain::Form_Load(const QVector<tolv::QueueEntry> &files)
{
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    G.WindowTitle = tolv::windowTitle();
    tolv::readSettings();
    FillPortLists();
    setWindowTitle(G.WindowTitle);
    vbalProgress->setValue(0);
    vbalProgress->setFormat(QString());
    setMessage(QString());
    picProgress->hide();
    picLEDGreen->setToolTip(tolv::versionToolTip(tolv::kVersionMajor, tolv::kVersionMinor, tolv::kVersionRevision));
    ShowPortInfo();

    if (!files.isEmpty()) {
        hide();
        frmFileDrop drop(this, files);
        drop.show();
        mQueueSentAll = drop.DoFileDrops();
        return false;
    }
    HideTaskPages();
    ShowTaskPage(G.Port == 0 ? 3 : 0);
    show();
    return true;
}

void frmMain::HideTaskPages()
{
    for (int i = 0; i < 4; ++i) {
        picTaskWindow[i]->move(tw(-20000), tw(840));
        picTaskWindow[i]->hide();
        QFont f = lblTask[i]->font();
        f.setBold(false);
        lblTask[i]->setFont(f);
    }
    picProgress->hide();
    setMessage(QString());
}

void frmMain::ShowTaskPage(int index)
{
    picTaskWindow[index]->move(tw(3680), tw(840));
    picTaskWindow[index]->show();
    QFont f = lblTask[index]->font();
    f.setBold(true);
    f.setUnderline(false);
    lblTask[index]->setFont(f);
    QPalette p = lblTask[index]->palette();
    p.setColor(QPalette::WindowText, kTaskBlue);
    lblTask[index]->setPalette(p);
}

void frmMain::lblTask_Click(int Index)
{
    if (G.Busy || Index < 0 || Index > 3)
        return;
    if (Index == 1) {
        DownloadChipFile();
        return;
    }
    HideTaskPages();
    ShowTaskPage(Index);
}

void frmMain::lblTask_MouseMove(int Index)
{
    if (G.Busy)
        return;
    if (!lblTask[Index]->font().bold()) {
        SetRollover(lblTask[Index]);
        lblTask[Index]->setCursor(Qt::PointingHandCursor);
    } else {
        lblTask[Index]->unsetCursor();
    }
}

void frmMain::hoverLabel(QWidget *label)
{
    if (!G.Busy)
        SetRollover(label);
}

void frmMain::lblRecMemCmd_Click(int Index)
{
    if (G.Busy)
        return;
    switch (Index) {
    case 0: UploadRecording(); break;
    case 1: EraseRecordingMemory(); break;
    case 2: DeleteRecording(); break;
    case 3: PlayRecording(); break;
    case 4: RepairRecordingMemory(); break;
    default: break;
    }
}

void frmMain::lblResetDialogs_Click()
{
    G.DisplayDnldConfirm = true;
    G.DisplayErasConfirm = true;
    tolv::saveDisplayDnldConfirm(true);
    tolv::saveDisplayErasConfirm(true);
}

void frmMain::txtIndexVal_Change()
{
    QString text = txtIndexVal->text();
    ForceDigitsOnly(text);
    if (text != txtIndexVal->text())
        txtIndexVal->setText(text);
}

void frmMain::cmdCancel_Click() { G.CancelRequested = true; }

void frmMain::setMessage(const QString &text)
{
    mMessage = text;
    placeMessage();
}

// A one-line message stands where it always did, below the progress strip.
// A longer one, a refusal that goes on to say what to do, takes the lines it
// needs: across the strip's width when the Cancel button is hidden, and up
// into the strip's place when the strip is hidden too.
void frmMain::placeMessage()
{
    const QRect strip = picProgress->geometry();
    const int left = strip.left();
    const int right = cmdCancel->isHidden() ? strip.right() : cmdCancel->x() - tw(120);
    const int highest = picProgress->isHidden() ? strip.top() : strip.bottom() + tw(90);
    const int bottom = centralWidget()->height() - tw(120);
    const int width = right - left + 1;
    // A path stands whole on its line when a line can hold it.
    const QString whole = vx::keepPathsWhole(mMessage);
    lblProgressMsg->setText(vx::widestWholePath(lblProgressMsg->fontMetrics(), whole) <= width ? whole : mMessage);
    const int height = std::max(tw(480), lblProgressMsg->heightForWidth(width));
    const int top = std::max(highest, std::min(tw(4380), bottom - height));
    lblProgressMsg->setGeometry(left, top, width, std::min(height, bottom - top));
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == picProgress || watched == cmdCancel) &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        placeMessage();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::FillPortLists()
{
    for (int i = 1; i <= 32; ++i)
        cboPort->addItem(QStringLiteral("COM") + QString::number(i));
    if (G.Port > 0) {
        cboPort->setCurrentIndex(G.Port - 1);
        applyPort(G.Port - 1);
        cboBaudRate->setCurrentIndex(G.BaudRate - 1);
        applyBaudRate(G.BaudRate - 1);
    } else {
        cboPort->setCurrentIndex(-1);
        cboBaudRate->setCurrentIndex(5);
        applyBaudRate(5);
    }
    tolv::keepPortSettings(G.Port, G.BaudRate);
}

void frmMain::cboPort_Click(int position)
{
    applyPort(position);
    tolv::savePort(G.Port);
}

void frmMain::applyPort(int position)
{
    G.Port = position + 1;
    // A task holds the port open: the new number takes effect at the next
    // task, which sets it when it opens the port.
    if (!G.Comm->PortOpen())
        G.Comm->setCommPort(G.Port);
    ShowPortInfo();
}

void frmMain::cboBaudRate_Click(int position)
{
    applyBaudRate(position);
    tolv::saveBaudRate(G.BaudRate);
}

void frmMain::applyBaudRate(int position)
{
    G.BaudRate = position + 1;
    try {
        G.Comm->setSettings(tolv::speedText(G.BaudRate) + QStringLiteral(",N,8,1"));
    } catch (const LinkError &) {
        // The speed list holds only speeds the port takes.
    }
    ShowPortInfo();
}

void frmMain::ShowPortInfo()
{
    lblComInfo[0]->setText(tolv::portInfoText(G.Port, G.BaudRate));
    lblComInfo[1]->setText(lblComInfo[0]->text());
}

void frmMain::ShowBusyLed()
{
    picLEDGreen->hide();
    picLEDRed->show();
    QCoreApplication::processEvents();
}

void frmMain::ShowIdleLed()
{
    picLEDGreen->show();
    picLEDRed->hide();
    QCoreApplication::processEvents();
}

void frmMain::BeginTask()
{
    tolv::SendCrAndFlush();
    G.FileDropMode = false;
    ShowBusyLed();
    picProgress->show();
    cboBaudRate->setEnabled(false);
    setCursor(Qt::WaitCursor);
    G.Busy = true;
}

void frmMain::EndTask(QString *error)
{
    setWindowTitle(G.WindowTitle);
    try {
        tolv::SendEndOfSession();
    } catch (const LinkError &e) {
        if (error && error->isEmpty())
            *error = e.description();
    }
    ShowIdleLed();
    picProgress->hide();
    cboBaudRate->setEnabled(true);
    unsetCursor();
    QCoreApplication::processEvents();
    tolv::ClosePort();
    G.Busy = false;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (G.Busy) {
        event->ignore();
        return;
    }
    SetRollover(nullptr);
    event->accept();
}

bool frmMain::readyToExit() const
{
    return isVisible() && !G.FileDropMode;
}

bool frmMain::taskRunning() const
{
    return G.Busy || (mFileDrop && mFileDrop->running());
}

bool frmMain::cancelTask()
{
    if (mFileDrop && mFileDrop->running()) {
        mFileDrop->cmdCancel->click();
        return true;
    }
    // Not up yet (the port still opens), or a task without a Cancel, which
    // runs to its end.
    if (cmdCancel->isHidden())
        return false;
    cmdCancel->click();
    return true;
}

bool frmMain::exitProgram()
{
    return close();
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        vx::showHelpTopic(tolv::kHelpTopic);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
