#pragma once

namespace vx {

// The program's monotonic clock, in seconds since an arbitrary start. Never
// goes back and does not jump at midnight. Tests can run it faster than real
// time, so that waits of program time take a fraction of the wall time.
class Clock
{
public:
    // Seconds of program time since the clock was first read.
    [[nodiscard]] static double seconds();

    // Program seconds per real second (1 = real time). Keeps seconds()
    // continuous across the change. Values <= 0 are ignored.
    static void setSpeed(double factor);
    [[nodiscard]] static double speed();
};

} // namespace vx
