#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
#include "platform/StopSignals.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StopHandler.h"
#include "tests/support/Ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

// A program as the stop handler sees it, with what it was asked to do.
struct Program : vx::StopTarget
{
    bool ready = true;
    bool task = false;
    bool exitAccepted = true;
    std::function<void()> exitQuestions;
    int cancels = 0;
    int exits = 0;

    bool readyToExit() const override { return ready; }
    bool taskRunning() const override { return task; }
    bool cancelTask() override
    {
        ++cancels;
        return true;
    }
    bool exitProgram() override
    {
        ++exits;
        if (exitQuestions)
            exitQuestions();
        return exitAccepted;
    }
};

// Clicks the button of that answer in the next message box that shows.
void answerNextBox(QMessageBox::StandardButton button)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, button] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                timer->deleteLater();
                timer->stop();
                box->button(button)->click();
                return;
            }
        }
    });
    timer->start(5);
}

} // namespace

// The boxes and dialogs up when the signal comes, and those the program's
// code shows as it unwinds, go as their Escape sends them; the exit then asks
// its own question, which is answered, not dismissed.
TEST(StopHandler, DialogsGoAsTheirEscapeSendsThemThenTheExitAsksItsQuestions)
{
    vx::StopSignals stop;
    Program program;
    vx::StopHandler onStop(stop, program);
    vx::QtPrompter prompter;
    vx::setPrompter(&prompter);
    vx::Answer exitAnswer = vx::Answer::Ok;
    program.exitQuestions = [&] {
        answerNextBox(QMessageBox::No);
        exitAnswer = vx::MsgBox(QStringLiteral("Save the changes?"), vx::Buttons::YesNoCancel);
    };

    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    EXPECT_EQ(vx::MsgBox(QStringLiteral("Go on?"), vx::Buttons::YesNoCancel), vx::Answer::Cancel);
    EXPECT_EQ(vx::MsgBox(QStringLiteral("Retry?"), vx::Buttons::AbortRetryIgnore), vx::Answer::Abort);
    EXPECT_EQ(vx::MsgBox(QStringLiteral("It failed."), vx::Buttons::Ok, vx::Icon::None, QString(), 1, 7),
              vx::Answer::Ok); // with a Help button, so no escape button of its own
    struct Form : QDialog
    {
        bool cancelled = false;
        void reject() override
        {
            cancelled = true;
            hide();
        }
    } form;
    vx::RunModal(&form);
    EXPECT_TRUE(form.cancelled);
    EXPECT_EQ(program.exits, 0);

    ASSERT_TRUE(vxtest::runUntil([&] { return program.exits == 1; }));
    EXPECT_EQ(exitAnswer, vx::Answer::No);
    EXPECT_EQ(program.cancels, 0);
    vx::setPrompter(nullptr);
}

// The exit waits for the start-up, for the running task, which is cancelled
// once, and for the routine that ran it; when the exit is refused, the next
// signal starts over.
TEST(StopHandler, TheExitWaitsForTheStartAndTheTaskAndARefusalLetsTheNextSignalStartOver)
{
    vx::StopSignals stop;
    Program program;
    program.ready = false;
    program.task = true;
    program.exitAccepted = false;
    vx::StopHandler onStop(stop, program);

    ::raise(SIGTERM);
    ASSERT_TRUE(vxtest::runUntil([&] { return program.cancels == 1; }));
    for (int i = 0; i < 3; ++i)
        onStop.poll();
    vxtest::spin(10);
    EXPECT_EQ(program.cancels, 1);
    program.task = false;
    vxtest::spin(10);
    EXPECT_EQ(program.exits, 0);
    EXPECT_TRUE(onStop.stopping());

    // A routine that yields to the event loop on its way out never has the
    // exit run under it; the exit runs once the loop is idle.
    int exitsInsideRoutine = -1;
    QTimer::singleShot(0, [&] {
        program.ready = true;
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        exitsInsideRoutine = program.exits;
    });
    vxtest::spin(10);
    EXPECT_EQ(exitsInsideRoutine, 0);
    EXPECT_EQ(program.exits, 1);
    EXPECT_FALSE(onStop.stopping());

    ::raise(SIGTERM); // at once after the refusal: asked again, not ended
    EXPECT_TRUE(vxtest::runUntil([&] { return program.exits == 2; }));
}
