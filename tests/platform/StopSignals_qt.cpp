#include "common/Clock.h"
#include "platform/StopSignals.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {

// Gives the stop signals the disposition a test relies on, whatever the test
// program inherited (a script's background job starts with SIGINT ignored).
void inherit(void (*disposition)(int))
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::signal(sig, disposition);
}

} // namespace

TEST(StopSignals, EachSignalArrivesOnTheEventLoopAndTheOldHandlersComeBack)
{
    inherit(SIG_DFL);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        {
            vx::StopSignals stop;
            ASSERT_TRUE(stop.installed());
            QSignalSpy spy(&stop, &vx::StopSignals::stopRequested);
            ASSERT_EQ(::raise(sig), 0);
            ASSERT_TRUE(spy.wait(5000)) << sig;
            ASSERT_EQ(spy.size(), 1);
            EXPECT_EQ(spy[0][0].toInt(), sig);
        }
        struct sigaction now = {};
        ASSERT_EQ(::sigaction(sig, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
    }
}

TEST(StopSignalsDeathTest, ASecondSignalEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            inherit(SIG_DFL);
            vx::StopSignals stop;
            ::raise(SIGINT);
            ::raise(SIGHUP);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(128 + SIGHUP), "");
}

namespace {

// Takes what the event loop has of the pipe.
void takeSignals()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Lets seconds of program time pass, on a fast clock.
void letPass(double seconds)
{
    vx::Clock::setSpeed(1000);
    const double until = vx::Clock::seconds() + seconds;
    while (vx::Clock::seconds() <= until)
        QThread::msleep(1);
    vx::Clock::setSpeed(1);
}

} // namespace

TEST(StopSignals, OnceTheExitWasCancelledTheNextSignalStartsOver)
{
    vx::StopSignals stop;
    QSignalSpy spy(&stop, &vx::StopSignals::stopRequested);
    ::raise(SIGTERM);
    takeSignals();
    ASSERT_EQ(spy.size(), 1);
    stop.exitCancelled();
    ::raise(SIGTERM); // at once, yet no end: nothing is pending
    takeSignals();
    EXPECT_EQ(spy.size(), 2);
}

TEST(StopSignalsDeathTest, WhileTheExitIsPendingARepeatSoonAfterEndsAtOnceALateOneDoesNot)
{
    EXPECT_EXIT(
        {
            inherit(SIG_DFL);
            vx::StopSignals stop;
            QSignalSpy spy(&stop, &vx::StopSignals::stopRequested);
            ::raise(SIGTERM);
            takeSignals();
            letPass(vx::StopSignals::kRepeatWindow + 0.5);
            ::raise(SIGTERM); // late: the exit goes on asking
            takeSignals();
            if (spy.size() != 1)
                std::_Exit(3);
            ::raise(SIGINT);
            takeSignals();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(128 + SIGINT), "");
}

// Under nohup, or in a background job, a hang-up or an interrupt is ignored
// before the program starts, and stays so; a TERM still starts the exit.
TEST(StopSignalsDeathTest, AnInheritedIgnoreOfHangUpAndInterruptStays)
{
    EXPECT_EXIT(
        {
            inherit(SIG_IGN);
            vx::StopSignals stop;
            QSignalSpy spy(&stop, &vx::StopSignals::stopRequested);
            ::raise(SIGHUP);
            ::raise(SIGINT);
            ::raise(SIGTERM);
            takeSignals();
            struct sigaction hangUp = {};
            ::sigaction(SIGHUP, nullptr, &hangUp);
            std::_Exit(spy.size() == 1 && spy[0][0].toInt() == SIGTERM && hangUp.sa_handler == SIG_IGN ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}
