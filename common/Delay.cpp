#include "common/Delay.h"

#include "common/Clock.h"

#include <QCoreApplication>
#include <QThread>

void Delay(double Seconds)
{
    const double start = vx::Clock::seconds();
    for (;;) {
        if (vx::Clock::seconds() > start + Seconds)
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(10);
    }
}
