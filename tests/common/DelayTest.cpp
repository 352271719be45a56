#include "common/Clock.h"
#include "common/Delay.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Delay, RunsQueuedEventsAndWaitsAtLeastTheTimeAsked)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    const double start = vx::Clock::seconds();
    QElapsedTimer wall;
    wall.start();
    Delay(0.25);
    EXPECT_TRUE(ran);
    EXPECT_GT(vx::Clock::seconds() - start, 0.25);
    EXPECT_GE(wall.elapsed(), 250);
}

TEST(Delay, ASpedUpClockShortensTheWallTime)
{
    vx::Clock::setSpeed(20.0);
    const double start = vx::Clock::seconds();
    QElapsedTimer wall;
    wall.start();
    Delay(2.0);
    const qint64 ms = wall.elapsed();
    vx::Clock::setSpeed(1.0);
    EXPECT_GT(vx::Clock::seconds() - start, 2.0);
    EXPECT_LT(ms, 1000);
}

TEST(Delay, ZeroSecondsStillYieldsOnce)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    Delay(0);
    EXPECT_TRUE(ran);
}

TEST(Clock, StaysMonotonicAcrossSpeedChanges)
{
    double last = vx::Clock::seconds();
    for (double f : {5.0, 1.0, 0.5, 10.0, 1.0, -1.0, 0.0}) {
        vx::Clock::setSpeed(f);
        const double now = vx::Clock::seconds();
        EXPECT_GE(now, last);
        last = now;
    }
    EXPECT_EQ(vx::Clock::speed(), 1.0);
}
