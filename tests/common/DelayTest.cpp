#include "common/Clock.h"
#include "common/Delay.h"

#include <QAbstractEventDispatcher>
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

// Each turn of a wait sleeps 10 ms of real time: two program seconds at
// twenty times the speed take about ten turns, not two hundred (and a busy
// machine only makes them fewer).
TEST(Delay, ASpedUpClockShortensTheWallTime)
{
    int turns = 0;
    const QMetaObject::Connection counting = QObject::connect(QAbstractEventDispatcher::instance(),
                                                              &QAbstractEventDispatcher::awake, [&] { ++turns; });
    vx::Clock::setSpeed(20.0);
    const double start = vx::Clock::seconds();
    Delay(2.0);
    vx::Clock::setSpeed(1.0);
    QObject::disconnect(counting);
    EXPECT_GT(vx::Clock::seconds() - start, 2.0);
    EXPECT_GT(turns, 0);
    EXPECT_LT(turns, 50);
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
