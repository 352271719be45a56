#pragma once

// Shared helpers of the link tests: pumping the event loop on program time.

#include "common/Clock.h"

#include <QCoreApplication>
#include <QThread>

#include <functional>

namespace linktest {

inline const QByteArray C("\x01");
inline const QByteArray NUL(1, '\0');

// Runs the event loop until done() holds or the program-time timeout passed.
inline bool pumpUntil(const std::function<bool()> &done, double seconds = 2.0)
{
    const double end = vx::Clock::seconds() + seconds;
    while (!done()) {
        if (vx::Clock::seconds() > end)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

inline void pump(double seconds)
{
    pumpUntil([] { return false; }, seconds);
}

} // namespace linktest
