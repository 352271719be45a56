#include "app/Globals.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/Busy.h"
#include "app/startup/Receive.h"
#include "app/startup/ui/MainToolbar.h"
#include "common/Delay.h"
#include "link/LinkError.h"
#include "link/SerialComm.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QThread>

// Records from the A/D converter straight into the chip's recording memory
// and follows the status bytes the chip sends meanwhile.

namespace {

void writeDirect(const QString &text)
{
    try {
        Comm->setOutput(text);
    } catch (const LinkError &) {
        StopRequested = true;
    }
}

} // namespace

void RecordToRecordingMemory()
{
    if (UpdatingControls || !Comm)
        return;
    frmCpanels *p = ControlPanels();
    if (!vx::IsRecMemNumberValid(p->txtRecTagVal->text().toLongLong())) {
        vx::MsgBox(vx::TagOutOfRangeMessage(), vx::Buttons::Ok, vx::Icon::Exclamation);
        p->txtRecTagVal->setText(QString::number(vx::kLargestRecMemNumber));
        return;
    }
    if (p->cboChannel->currentIndex() > 3) {
        const QString nl = QStringLiteral("\r\n");
        vx::MsgBox(QStringLiteral("The recorder can record from any one of the four A/D converter's  ") + nl +
                       QStringLiteral("input channels, but the A/D converter is currently set to scan  ") + nl +
                       QStringLiteral("multiple channels. Set an appropriate channel in the A/D Converter  ") + nl +
                       QStringLiteral("control panel before attempting to record. To record from the  ") + nl +
                       QStringLiteral("evaluation board's microphone, select channel AN0.  "),
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        return;
    }
    Playing = true;
    SetPlayButtonsBusy();
    p->LockPanels();
    BeginBusy();
    StopRequested = false;
    int lastStatus = -1;
    RecStatusQueue.clear();
    p->lblProgressMsg->setText(QStringLiteral("Recording..."));
    p->lblProgressMsg->setVisible(true);

    try {
        Comm->setInBufferCount(0);
        Comm->setInputLen(1);
        Comm->setRThreshold(1);
    } catch (const LinkError &) {
        StopRequested = true;
    }
    Receiver.begin(kRecordingStatus);
    writeDirect(CmdChar + vx::RecorderAdcCommand(p->AdcSettings) + QChar(0));
    writeDirect(CmdChar +
                vx::RecordingCommand(p->sldSRate->value(), p->chkCompress->isChecked(),
                                     p->txtRecTagVal->text().toInt()) +
                QChar(0));

    // Every byte is acted on, also when several arrive in one read.
    while (!StopRequested) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(10);
        const QByteArray bytes = std::exchange(RecStatusQueue, QByteArray());
        for (const vx::RecorderStatusAction &a : vx::DecodeRecorderStatuses(bytes)) {
            lastStatus = a.byte;
            if (a.finished || a.stopReception)
                StopRequested = true;
            if (!a.message.isEmpty())
                vx::MsgBox(a.message, vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Error"));
            if (a.kilobyte) {
                RecMemFree -= 1;
                p->vbalRecMemUsed->setValue(RecMemSize - RecMemFree);
                p->lblRecMemUsed->setText(vx::RecordingPercentText(RecMemSize, RecMemFree));
                p->lblProgressMsg->setVisible(!p->lblProgressMsg->isVisible());
            }
        }
        if (Port == 0 || !Comm->PortOpen())
            break;
    }
    writeDirect(QString(QChar(24)));
    // The chip reports a failed write only once it has tried to store the
    // recording, after CAN: reception stays on while it settles.
    Delay(0.25);
    for (const vx::RecorderStatusAction &a : vx::DecodeRecorderStatuses(std::exchange(RecStatusQueue, QByteArray())))
        lastStatus = a.byte;
    try {
        Comm->setRThreshold(0);
    } catch (const LinkError &) {
    }
    Receiver.begin(kTrackSpeech);
    Playing = false;
    SetPlayButtonsIdle();
    EndBusy();
    p->UnlockPanels();
    p->lblProgressMsg->clear();
    if (lastStatus == 7)
        vx::MsgBox(vx::WriteErrorMessage(), vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Error"));
    p->UpdateControls();
    UpdateToolbarState();
}
