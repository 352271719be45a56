#pragma once

// The download utility's main window: the task list on the left, one task
// page on the right, the progress strip, the message label and the status
// frame with the port display and the busy LED. Every chip task runs here,
// inside one serial session each.

#include "tolvane/TaskQueue.h"
#include "platform/ui/StopHandler.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class ClickLabel;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class cTolvane;
class frmFileDrop;
enum class LinkResult;

// A stop signal cancels the running task as its Cancel does (the file-drop
// queue's Cancel while it runs) and then closes the window.
class frmMain : public QMainWindow, public vx::StopTarget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up. With files, runs the file-drop queue and returns false (the
    // program then ends); otherwise shows the window and returns true.
    bool Form_Load(const QVector<tolv::QueueEntry> &files);
    // After the queue: true when every file went into the chip.
    [[nodiscard]] bool queueSentAll() const { return mQueueSentAll; }

    // Tasks.
    void DownloadChipFile();
    void RefreshChipInfo();
    void UploadRecording();
    void DeleteRecording();
    void PlayRecording();
    void EraseRecordingMemory();
    void RepairRecordingMemory();
    void ShowChipInfo();
    void RefreshLinkStatus();
    // Reads the chip's status, then sends G.TaskFileName; throws LinkError.
    LinkResult DownloadTaskFile();

    // Session bracket.
    void BeginTask();
    // Always leaves the port closed and the idle state back. A failure to
    // send the end-of-session command is kept in error when that is empty.
    void EndTask(QString *error = nullptr);
    void ShowBusyLed();
    void ShowIdleLed();
    void ShowPortInfo();
    void FillPortLists();

    // Link library events.
    void cTolv_PercentDone(int Percent, bool &Cancel);
    void cTolv_ChipStatus(int Message);
    void cTolv_ConfirmUpdate(bool &Cancel);

    [[nodiscard]] QString ChooseDownloadFile();
    [[nodiscard]] QString GetSavePcmFileName(const QString &Filename);

    // A stop signal. While the file-drop queue runs the program ends with it.
    [[nodiscard]] bool readyToExit() const override;
    [[nodiscard]] bool taskRunning() const override;
    bool cancelTask() override;
    bool exitProgram() override;

    // While the file-drop window runs its queue it receives the events.
    void setFileDropWindow(frmFileDrop *w) { mFileDrop = w; }

    cTolvane *cTolv = nullptr;

    std::array<ClickLabel *, 5> lblTask{};
    std::array<QFrame *, 4> picTaskWindow{};
    // Chip information page.
    QLabel *lblProductVal, *lblFwVerNum, *lblInpBufSize, *lblRecMemTtlVal, *lblRecMemAvailVal, *lblNumOfFilesVal;
    ClickLabel *lblUpdate;
    // Recording memory page.
    std::array<QRadioButton *, 2> optIndexType{};
    QLineEdit *txtIndexVal;
    std::array<ClickLabel *, 5> lblRecMemCmd{};
    // Communications page.
    QComboBox *cboPort, *cboBaudRate;
    ClickLabel *lblResetDialogs;
    // Progress, messages, status.
    QFrame *picProgress;
    QProgressBar *vbalProgress;
    QPushButton *cmdCancel;
    QLabel *lblProgressMsg;
    QFrame *fraStatus;
    QLabel *picLEDGreen, *picLEDRed;
    std::array<QLabel *, 2> lblComInfo{};
    QTimer *Timer1;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildWindow();
    void BuildChipInfoPage(QFrame *page);
    void BuildRecMemPage(QFrame *page);
    void BuildCommPage(QFrame *page);
    void HideTaskPages();
    void ShowTaskPage(int index);
    void lblTask_Click(int Index);
    void lblTask_MouseMove(int Index);
    void lblRecMemCmd_Click(int Index);
    void hoverLabel(QWidget *label);
    void lblResetDialogs_Click();
    void txtIndexVal_Change();
    void cboPort_Click(int position);
    void cboBaudRate_Click(int position);
    // What either does but storing the choice.
    void applyPort(int position);
    void applyBaudRate(int position);
    void cmdCancel_Click();
    void setMessage(const QString &text);
    void placeMessage();

    // The common course of a task: no port, open, bracket, call, result.
    // prepare runs before the port opens (false ends quietly); call does
    // the link library's work and returns the success text; after runs
    // inside the bracket once the result is shown (it gets whether the call
    // succeeded).
    struct TaskSteps
    {
        QString progress;
        bool showCancel = false;
        std::function<bool()> prepare;
        std::function<void()> afterBegin;
        std::function<QString()> call;
        std::function<void(bool ok)> after;
    };
    void RunTask(const TaskSteps &steps);
    // A task that changes what the chip holds: once it succeeded, the chip
    // information is read again after the chip settled.
    [[nodiscard]] TaskSteps memoryTask(const QString &progress, std::function<QString()> call);
    // The number and by-tag flag of the recording-memory page; throws
    // LinkError when the number is out of range.
    [[nodiscard]] qint32 recMemNumber() const;
    [[nodiscard]] bool recMemByTag() const;

    frmFileDrop *mFileDrop = nullptr;
    bool mQueueSentAll = false;
    QString mMessage; // the message line's text as written
};
