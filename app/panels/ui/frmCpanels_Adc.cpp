#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/AdcSamples.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/PanelWidgets.h"
#include "app/startup/Busy.h"
#include "link/LinkError.h"
#include "link/SerialComm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QThread>

// The A/D converter monitor: the settings value from the channel and three
// mode bits, and a polling loop that shows the chip's samples on four bars
// until the same button stops it.

using vx::panels::place;

void frmCpanels::BuildAdc(QWidget *panel)
{
    auto *fraADC = new QGroupBox(QStringLiteral(" A/D Control "), panel);
    fraADC->setObjectName(QStringLiteral("fraADC"));
    place(fraADC, 0, 0, 5350, 1700);
    auto *lblChannel = new QLabel(QStringLiteral("&Channel"), fraADC);
    lblChannel->setObjectName(QStringLiteral("lblChannel"));
    place(lblChannel, 150, 330, 900, 300);
    cboChannel = new QComboBox(fraADC);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    cboChannel->setToolTip(QStringLiteral("Selects ADC channel and sweep modes (CH and SWP bits)"));
    for (const vx::AdcChannel &c : vx::AdcChannels())
        cboChannel->addItem(QString::fromLatin1(c.name), c.itemData);
    lblChannel->setBuddy(cboChannel);
    place(cboChannel, 1050, 280, 1400, 330);
    auto addCheck = [this, fraADC](const char *name, const char *text, const char *tip, int l, int t) {
        auto *c = new QCheckBox(QString::fromLatin1(text), fraADC);
        c->setObjectName(QString::fromLatin1(name));
        c->setToolTip(QString::fromLatin1(tip));
        place(c, l, t, 1500, 300);
        return c;
    };
    chkContinuous = addCheck("chkContinuous", " Cont &Mode", "Sets/clears CONT bit", 2700, 280);
    chkHdwTrg = addCheck("chkHdwTrg", " &Ext Trig", "Sets/clears TRG bit", 2700, 630);
    chkExtAmp = addCheck("chkExtAmp", " Ext &Amp", "Sets/clears AMP bit", 2700, 980);
    chkContinuous->setChecked(true);
    cmdAdcStart = new QPushButton(QStringLiteral("&Start"), fraADC);
    cmdAdcStart->setObjectName(QStringLiteral("cmdAdcStart"));
    place(cmdAdcStart, 1050, 1000, 1400, 400);

    for (int i = 0; i < 4; ++i) {
        auto *lbl = new QLabel(QStringLiteral("AN%1").arg(i), panel);
        lbl->setObjectName(QStringLiteral("lblCAdcCh_%1").arg(i));
        place(lbl, 0, 1950 + i * 450, 600, 300);
        vbalADC[i] = new QProgressBar(panel);
        vbalADC[i]->setObjectName(QStringLiteral("vbalADC_%1").arg(i));
        vbalADC[i]->setRange(0, 255);
        vbalADC[i]->setValue(0);
        vbalADC[i]->setFormat(QString());
        place(vbalADC[i], 650, 1950 + i * 450, 4700, 300);
    }

    connect(cboChannel, &QComboBox::currentIndexChanged, this, &frmCpanels::UpdateAdcCommand);
    connect(chkContinuous, &QCheckBox::clicked, this, &frmCpanels::chkContinuous_Click);
    connect(chkHdwTrg, &QCheckBox::clicked, this, &frmCpanels::UpdateAdcCommand);
    connect(chkExtAmp, &QCheckBox::clicked, this, &frmCpanels::UpdateAdcCommand);
    connect(cmdAdcStart, &QPushButton::clicked, this, &frmCpanels::cmdAdcStart_Click);
    UpdateAdcCommand();
}

void frmCpanels::UpdateAdcCommand()
{
    AdcSettings = vx::AdcSettingsValue(cboChannel->currentData().toInt(), chkContinuous->isChecked(),
                                       chkHdwTrg->isChecked(), chkExtAmp->isChecked());
    cmdAdcStart->setToolTip(vx::AdcCommandToolTip(ChipModel, AdcSettings));
}

void frmCpanels::chkContinuous_Click()
{
    UpdateAdcCommand();
    const bool allowed = vx::CompressAllowed(chkContinuous->isChecked());
    if (chkCompress) {
        if (!allowed)
            chkCompress->setChecked(false);
        chkCompress->setEnabled(allowed);
    }
}

void frmCpanels::cmdAdcStart_Click()
{
    if (AdcRunning) {
        // The running loop sees this at its next pass and ends itself.
        AdcRunning = false;
        return;
    }
    if (Busy || Port == 0 || !Comm)
        return;
    BeginBusy();
    setEnabled(true);
    if (frame())
        frame()->setEnabled(true);
    // Disabling the window took the focus from this button; without it
    // neither Escape nor Alt+S would reach the panel to stop the run.
    cmdAdcStart->setFocus();
    LockPanels();
    // Busy stays set for the whole run, so that no other chip command can
    // start while the converter streams; this button stops it through
    // AdcRunning, which it tests first.

    const vx::AdcLayout layout = vx::AdcChannelLayout(AdcSettings);
    const int channels = layout.channels;
    ByteBuffer = QByteArray(channels, '\0');
    for (QWidget *w : std::initializer_list<QWidget *>{chkHdwTrg, chkExtAmp, chkContinuous, cboChannel})
        w->setEnabled(false);
    for (QProgressBar *bar : vbalADC) {
        bar->setValue(0);
        bar->setFormat(QString());
    }
    const bool cont = chkContinuous->isChecked();
    const bool trig = chkHdwTrg->isChecked();
    AdcRunning = true;
    StopRequested = false;
    bool sampled = false;
    // While it runs the button is the window's Cancel button: Escape presses
    // it, and its caption keeps its own access key.
    QShortcut escape(QKeySequence(Qt::Key_Escape), this);
    escape.setObjectName(QStringLiteral("AdcEscape"));
    escape.setContext(Qt::WidgetWithChildrenShortcut);
    escape.setEnabled(false);
    connect(&escape, &QShortcut::activated, cmdAdcStart, &QPushButton::click);
    // The status line and the caption change with the state, not with each sample.
    const auto showState = [&](const QString &status, const QString &caption) {
        if (lblProgressMsg->text() != status)
            lblProgressMsg->setText(status);
        if (cmdAdcStart->text() != caption)
            cmdAdcStart->setText(caption);
        escape.setEnabled(true);
    };
    try {
        Comm->setRThreshold(0);
        Comm->setInBufferCount(0);
        Comm->setInputLen(channels);
        vx::panels::sendCommand(vx::AdcStartLive(CmdChar, AdcSettings));
        while (AdcRunning) {
            if (trig && !sampled)
                showState(QStringLiteral("Status: Waiting for trigger"), QStringLiteral("Cancel"));
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (!AdcRunning)
                break;
            if (!Comm->PortOpen())
                break;
            if (vx::AdcShouldFlush(Comm->InBufferCount(), Comm->InBufferSize()))
                Comm->setInBufferCount(0);
            if (Comm->InBufferCount() >= channels) {
                ByteBuffer = Comm->Input();
                for (const vx::AdcBar &b : vx::DecodeAdcFrame(AdcSettings, ByteBuffer)) {
                    vbalADC[b.bar]->setValue(b.value);
                    vbalADC[b.bar]->setFormat(QString::number(b.value));
                }
                sampled = true;
                if (cont)
                    showState(QStringLiteral("Status: Running"), QStringLiteral("&Stop"));
                if (vx::AdcSingleConversion(AdcSettings))
                    break;
            } else {
                QThread::msleep(5);
            }
        }
    } catch (const LinkError &) {
        // A port that failed underneath ends the monitor like Stop.
    }
    AdcRunning = false;
    escape.setEnabled(false);
    lblProgressMsg->setText(QStringLiteral("Status: Stopped"));
    cmdAdcStart->setText(QStringLiteral("&Start"));
    for (QWidget *w : std::initializer_list<QWidget *>{chkHdwTrg, chkExtAmp, chkContinuous, cboChannel})
        w->setEnabled(true);
    vx::panels::sendCommand(vx::AdcStopLive(CmdChar));
    try {
        Comm->setInBufferCount(0);
    } catch (const LinkError &) {
    }
    EndBusy();
    UnlockPanels();
}
