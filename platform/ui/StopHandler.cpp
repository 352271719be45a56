#include "platform/ui/StopHandler.h"

#include "platform/StopSignals.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QScopedValueRollback>
#include <QThread>

#include <algorithm>
#include <utility>

namespace vx {

namespace {

// How often a pending stop looks again whether the dialogs and the task
// have gone: a poll, not a wait.
constexpr int kPollMs = 50;

[[nodiscard]] bool anyDialogOpen()
{
    if (QApplication::activePopupWidget())
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget *w) { return qobject_cast<const QDialog *>(w) && w->isVisible(); });
}

// Dismisses the open pop-up menu and every open dialog as Escape would.
// Returns whether any was open.
bool dismissOpenDialogs()
{
    if (!anyDialogOpen())
        return false;
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    QList<QPointer<QDialog>> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            open.append(dialog);
    for (const QPointer<QDialog> &dialog : std::as_const(open)) {
        if (!dialog || !dialog->isVisible())
            continue;
        if (auto *box = qobject_cast<QMessageBox *>(dialog.data())) {
            // The box's own Escape picks its answer; a box without an
            // escape button still goes.
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(box, &escape);
            if (box->isVisible())
                box->reject();
        } else {
            dialog->reject(); // the forms' Escape: their Cancel
        }
    }
    return true;
}

} // namespace

StopHandler::StopHandler(StopSignals &stopSignals, StopTarget &target, QObject *parent)
    : QObject(parent)
    , mSignals(stopSignals)
    , mTarget(target)
{
    mTimer.setInterval(kPollMs);
    connect(&mTimer, &QTimer::timeout, this, &StopHandler::poll);
    connect(&mSignals, &StopSignals::stopRequested, this, [this] {
        mStopping = true;
        mTaskCancelled = false;
        mTimer.start();
        QTimer::singleShot(0, this, &StopHandler::poll);
    });
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &StopHandler::exitWhenIdle);
}

void StopHandler::poll()
{
    // A dialog's Cancel may yield to the event loop, and the timer with it.
    if (!mStopping || mPolling)
        return;
    const QScopedValueRollback polling(mPolling, true);
    if (!dismissOpenDialogs() && mTarget.taskRunning() && !mTaskCancelled)
        mTaskCancelled = mTarget.cancelTask();
}

void StopHandler::exitWhenIdle()
{
    // Only where the program's own event loop waits for the next event: no
    // routine runs then (each runs inside an event and yields to the loop in
    // its own calls), so none is left halfway by the exit.
    if (!mStopping || mPolling || QThread::currentThread()->loopLevel() != 1)
        return;
    if (anyDialogOpen() || mTarget.taskRunning() || !mTarget.readyToExit())
        return;
    mStopping = false;
    mTimer.stop();
    const QScopedValueRollback polling(mPolling, true);
    if (!mTarget.exitProgram())
        mSignals.exitCancelled();
}

} // namespace vx
