#include "platform/StopSignals.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

TEST(StopSignals, EachSignalArrivesOnTheEventLoopAndTheOldHandlersComeBack)
{
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
            vx::StopSignals stop;
            ::raise(SIGINT);
            ::raise(SIGHUP);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(128 + SIGHUP), "");
}
