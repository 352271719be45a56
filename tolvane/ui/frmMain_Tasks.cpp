// The chip tasks of the main window, the chip information page and the
// link library's events.
#include "tolvane/ui/frmMain.h"

#include "tolvane/ChipInfoText.h"
#include "tolvane/FileTypes.h"
#include "tolvane/Globals.h"
#include "tolvane/Session.h"
#include "tolvane/ui/ClickLabel.h"
#include "tolvane/ui/frmConfirm.h"
#include "tolvane/ui/frmFileDrop.h"

#include "common/Delay.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kNoPort = QStringLiteral("ERROR: COM port not selected.");
const QString kError = QStringLiteral("ERROR: ");

// Holds the task guard from the first line of a task: every click that the
// task's own waits let through finds Busy set and does nothing. Every way
// out of the task clears it.
class TaskGuard
{
public:
    TaskGuard() { G.Busy = true; }
    ~TaskGuard() { G.Busy = false; }
    TaskGuard(const TaskGuard &) = delete;
    TaskGuard &operator=(const TaskGuard &) = delete;
};

} // namespace

void frmMain::RunTask(const TaskSteps &steps)
{
    if (G.Busy)
        return;
    const TaskGuard guard;
    setMessage(QString());
    QCoreApplication::processEvents();
    if (G.Port == 0) {
        setMessage(kNoPort);
        return;
    }
    if (steps.prepare && !steps.prepare())
        return;
    QString openError;
    if (!tolv::OpenPort(&openError)) {
        if (!G.FileDropMode)
            setMessage(kError + openError);
        return;
    }
    // Cleared before the Cancel shows: a click from then on, or a stop's,
    // ends the task even during the waits of its start.
    G.CancelRequested = false;
    if (steps.showCancel)
        cmdCancel->show();

    QString error;
    QString success;
    bool begun = false;
    try {
        BeginTask();
        begun = true;
    } catch (const LinkError &e) {
        error = e.description();
    }
    // The bracket holds from here on, whatever fails: EndTask runs below.
    if (begun) {
        if (steps.afterBegin)
            steps.afterBegin();
        setMessage(steps.progress);
        QCoreApplication::processEvents();
        try {
            success = steps.call();
        } catch (const LinkError &e) {
            error = e.description();
        }
    }
    cmdCancel->hide();
    setMessage(error.isEmpty() ? success : kError + error);
    if (steps.after) {
        try {
            steps.after(error.isEmpty());
        } catch (const LinkError &) {
            // The result is shown; a failing refresh afterwards changes nothing of it.
        }
    }
    QString endError;
    EndTask(&endError);
    if (error.isEmpty() && !endError.isEmpty())
        setMessage(kError + endError);
}

qint32 frmMain::recMemNumber() const
{
    bool ok = true;
    const QString text = txtIndexVal->text();
    const qint64 n = text.isEmpty() ? 0 : text.toLongLong(&ok);
    if (!ok || n > std::numeric_limits<qint32>::max())
        throw LinkError(6, QStringLiteral("Overflow"));
    return static_cast<qint32>(n);
}

bool frmMain::recMemByTag() const { return optIndexType[1]->isChecked(); }

frmMain::TaskSteps frmMain::memoryTask(const QString &progress, std::function<QString()> call)
{
    TaskSteps s;
    s.progress = progress;
    s.call = std::move(call);
    s.after = [this](bool ok) {
        if (!ok)
            return;
        Delay(0.25);
        ShowChipInfo();
    };
    return s;
}

void frmMain::DownloadChipFile()
{
    if (G.Busy)
        return;
    if (G.Port == 0) {
        setMessage(kNoPort);
        return;
    }
    TaskSteps s;
    s.progress = QStringLiteral("Initializing...");
    s.prepare = [this] {
        G.TaskFileName = ChooseDownloadFile();
        return !G.TaskFileName.isEmpty();
    };
    s.call = [this] {
        if (DownloadTaskFile() == LinkResult::Cancelled)
            throw LinkError(0, QStringLiteral("Download canceled."));
        return QLatin1Char('\'') + tolv::displayName(G.TaskFileName) + QStringLiteral("' was successfully downloaded.");
    };
    s.after = [this](bool ok) {
        if (!ok)
            return;
        Delay(0.25);
        tolv::SendCrAndFlush();
        ShowChipInfo();
    };
    RunTask(s);
}

LinkResult frmMain::DownloadTaskFile()
{
    // What goes into the recording memory is bounded by the chip's own: its
    // status is read before a byte of the file goes out.
    cTolv->RefreshStatus();
    return cTolv->DownloadToChip(G.TaskFileName);
}

void frmMain::UploadRecording()
{
    TaskSteps s;
    s.progress = QStringLiteral("Uploading data...");
    s.showCancel = true;
    s.prepare = [this] {
        const QString proposed = (optIndexType[0]->isChecked() ? QStringLiteral("Index") : QStringLiteral("Tag")) +
                                 txtIndexVal->text() + QStringLiteral(".pcm");
        G.TaskFileName = GetSavePcmFileName(proposed);
        return !G.TaskFileName.isEmpty();
    };
    s.call = [this] {
        const LinkResult r = cTolv->UploadRecMemFile(G.TaskFileName, recMemNumber(), recMemByTag());
        if (r == LinkResult::Cancelled || G.CancelRequested)
            return QStringLiteral("Upload canceled.");
        return QStringLiteral("Upload of '") + tolv::displayName(G.TaskFileName) + QStringLiteral("' complete.");
    };
    s.after = [this](bool) {
        QCoreApplication::processEvents();
        setWindowTitle(G.WindowTitle);
        Delay(0.25);
        ShowChipInfo();
    };
    RunTask(s);
}

void frmMain::DeleteRecording()
{
    RunTask(memoryTask(QStringLiteral("Deleting file and compacting recording memory..."), [this] {
        cTolv->DeleteRecMemFile(recMemNumber(), recMemByTag());
        bool cancel = false;
        cTolv_PercentDone(100, cancel);
        return QStringLiteral("File successfully deleted.");
    }));
}

void frmMain::PlayRecording()
{
    TaskSteps s;
    s.progress = QStringLiteral("Playing file...");
    s.showCancel = true;
    s.afterBegin = [this] {
        picProgress->hide();
        setWindowTitle(QStringLiteral("Playing file - Tolvane"));
    };
    s.call = [this] {
        const LinkResult r = cTolv->PlayRecMemFile(recMemNumber(), recMemByTag());
        if (r == LinkResult::Cancelled || G.CancelRequested)
            return QStringLiteral("Play canceled.");
        return QStringLiteral("File finished playing.");
    };
    RunTask(s);
}

void frmMain::EraseRecordingMemory()
{
    TaskSteps s = memoryTask(QStringLiteral("Initializing recording memory..."), [this] {
        cTolv->InitRecMem();
        return QStringLiteral("Recording memory initialized.");
    });
    s.prepare = [this] {
        if (!G.DisplayErasConfirm)
            return true;
        G.ConfirmKind = 2;
        frmConfirm dlg(this);
        dlg.lblWarning->setText(QStringLiteral("Are you sure you want to erase the recording memory? "
                                               "All recorded and downloaded sounds \r\nwill be erased."));
        return dlg.Confirm();
    };
    RunTask(s);
}

void frmMain::RepairRecordingMemory()
{
    RunTask(memoryTask(QStringLiteral("Repairing recording memory..."), [this] {
        cTolv->RepairRecMem();
        return QStringLiteral("Recording memory repaired.");
    }));
}

void frmMain::RefreshChipInfo()
{
    if (G.Busy)
        return;
    const TaskGuard guard;
    setMessage(QString());
    for (QLabel *l : {lblProductVal, lblFwVerNum, lblInpBufSize, lblRecMemTtlVal, lblRecMemAvailVal, lblNumOfFilesVal})
        l->clear();
    QCoreApplication::processEvents();
    if (G.Port == 0) {
        setMessage(kNoPort);
        return;
    }
    QString openError;
    if (!tolv::OpenPort(&openError)) {
        setMessage(kError + openError);
        return;
    }
    QString error;
    try {
        tolv::SendCrAndFlush();
        ShowBusyLed();
        ShowChipInfo();
    } catch (const LinkError &e) {
        error = e.description();
    }
    // However the refresh went, the session ends and the idle state is back.
    ShowIdleLed();
    try {
        tolv::SendEndOfSession();
    } catch (const LinkError &e) {
        if (error.isEmpty())
            error = e.description();
    }
    tolv::ClosePort();
    if (!error.isEmpty())
        setMessage(kError + error);
}

void frmMain::RefreshLinkStatus()
{
    try {
        cTolv->RefreshStatus();
    } catch (const LinkError &e) {
        setMessage(kError + e.description());
    }
}

void frmMain::ShowChipInfo()
{
    RefreshLinkStatus();
    const tolv::ChipInfoTexts t = tolv::FormatChipInfo(cTolv->GetStatus(), cTolv->GetChipInfo());
    if (!t.known)
        return;
    lblProductVal->setText(t.family);
    lblFwVerNum->setText(t.version);
    lblInpBufSize->setText(t.buffer);
    lblRecMemTtlVal->setText(t.total);
    lblRecMemAvailVal->setText(t.avail);
    lblNumOfFilesVal->setText(t.files);
    if (t.corrupt)
        setMessage(QStringLiteral("ERROR: Recording memory\r\ncorrupt"));
}

void frmMain::cTolv_PercentDone(int Percent, bool &Cancel)
{
    const QString pct = QString::number(Percent) + QLatin1Char('%');
    if (G.FileDropMode) {
        if (mFileDrop) {
            mFileDrop->ShowRowProgress(G.QueueRow, pct);
            mFileDrop->setWindowTitle(QString::number(Percent) + QStringLiteral("% done - Tolvane"));
        }
    } else if (picProgress->isVisible()) {
        vbalProgress->setValue(Percent);
        vbalProgress->setFormat(pct);
        setWindowTitle(QString::number(Percent) + QStringLiteral("% done - Tolvane"));
    }
    Cancel = G.CancelRequested;
}

void frmMain::cTolv_ChipStatus(int Message)
{
    if (Message != 6)
        return;
    if (G.FileDropMode) {
        if (mFileDrop)
            mFileDrop->ShowRowStatus(G.QueueRow, QStringLiteral("Downloading..."));
    } else {
        setMessage(QStringLiteral("Downloading '") + tolv::displayName(G.TaskFileName) + QStringLiteral("' ..."));
    }
}

void frmMain::cTolv_ConfirmUpdate(bool &Cancel)
{
    if (!G.DisplayDnldConfirm)
        return;
    G.ConfirmKind = 1;
    // Over the window in sight: the queue's while it runs (this one is hidden then).
    frmConfirm dlg(G.FileDropMode && mFileDrop ? static_cast<QWidget *>(mFileDrop) : this);
    dlg.lblWarning->setText(tolv::displayName(G.TaskFileName) +
                            QStringLiteral(" will overwrite all or part of the SV3410's operating system -- "
                                           "a potentially dangerous operation. Are you sure you want to do this? "));
    Cancel = !dlg.Confirm();
}

QString frmMain::ChooseDownloadFile()
{
    return vx::OpenFileDialog(QStringLiteral("Download File"), tolv::downloadFilter());
}

QString frmMain::GetSavePcmFileName(const QString &Filename)
{
    // The dialog adds the extension itself, so its question before replacing
    // a file is asked about the name that will be written.
    return vx::SaveFileDialog(QStringLiteral("Save PCM File As"), QStringLiteral("PCM File (*.pcm)|*.pcm"), QString(),
                              Filename, nullptr, QStringLiteral("pcm"));
}
