#include "common/Delay.h"

#include "common/Clock.h"

#include <QCoreApplication>
#include <QThread>

void Delay(double Seconds)
{
    const double start = vx::Clock::seconds();
    // Events are processed at least once, even for a zero wait: callers poll
    // the chip with short waits and rely on its replies arriving in between,
    // and a fine-grained clock is almost always past start + 0 already.
    bool yielded = false;
    for (;;) {
        if (yielded && vx::Clock::seconds() > start + Seconds)
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        yielded = true;
        if (vx::Clock::seconds() > start + Seconds)
            return;
        QThread::msleep(10);
    }
}
