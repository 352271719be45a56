#pragma once

// How a program ends on a stop signal (a logout, a closed terminal, Ctrl+C):
// the way its user would end it, in both programs.

#include <QObject>
#include <QTimer>

namespace vx {

class StopSignals;

// What a program offers a stop signal; its main window answers.
class StopTarget
{
public:
    virtual ~StopTarget() = default;
    // Whether the exit may run: the start-up is over.
    [[nodiscard]] virtual bool readyToExit() const = 0;
    // Whether a task runs whose end the exit waits for.
    [[nodiscard]] virtual bool taskRunning() const = 0;
    // Asks the running task to stop as its own Cancel or Stop does. Returns
    // false when the task cannot take it now (its Cancel is not up yet, or
    // it must run to its end); it is asked again while it runs.
    virtual bool cancelTask() = 0;
    // Runs the exit as File > Exit does, with its questions. Returns false
    // when it was refused or cancelled and the program goes on.
    virtual bool exitProgram() = 0;
};

// Acts on the stop signals: dismisses every open dialog and message box as
// its Escape does (those that open meanwhile too, and open pop-up menus),
// cancels a running task once (asking until it takes the cancel), and when
// the start-up and the task are over and the program's event loop is idle
// runs the exit, whose own questions are asked as usual. When the exit is
// refused or cancelled the program goes on and a later signal starts over.
class StopHandler : public QObject
{
public:
    StopHandler(StopSignals &stopSignals, StopTarget &target, QObject *parent = nullptr);

    // Dismisses the open dialogs, or cancels the running task until it took
    // the cancel; runs on a timer while a stop is pending.
    void poll();
    // Whether a stop is pending and its exit has not run yet.
    [[nodiscard]] bool stopping() const { return mStopping; }

private:
    void exitWhenIdle();

    StopSignals &mSignals;
    StopTarget &mTarget;
    QTimer mTimer;
    bool mStopping = false;
    bool mTaskCancelled = false;
    bool mPolling = false;
};

} // namespace vx
