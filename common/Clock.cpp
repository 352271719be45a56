#include "common/Clock.h"

#include <chrono>
#include <mutex>

namespace vx {

namespace {
using steady = std::chrono::steady_clock;

struct ClockState
{
    std::mutex lock;
    steady::time_point origin = steady::now();
    double base = 0.0;   // program seconds at origin
    double factor = 1.0; // program seconds per real second
};

ClockState &state()
{
    static ClockState s;
    return s;
}

double realSince(steady::time_point t)
{
    return std::chrono::duration<double>(steady::now() - t).count();
}
} // namespace

double Clock::seconds()
{
    ClockState &s = state();
    std::lock_guard guard(s.lock);
    return s.base + realSince(s.origin) * s.factor;
}

void Clock::setSpeed(double factor)
{
    if (!(factor > 0.0))
        return;
    ClockState &s = state();
    std::lock_guard guard(s.lock);
    s.base += realSince(s.origin) * s.factor;
    s.origin = steady::now();
    s.factor = factor;
}

double Clock::speed()
{
    ClockState &s = state();
    std::lock_guard guard(s.lock);
    return s.factor;
}

} // namespace vx
