#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace sonvert {

// Decides when the progress event may fire: at once on the first call of the
// throttle's life, then only when more than 0.2 s of monotonic time have
// passed since the last event. The clock can be replaced for tests.
class ProgressThrottle
{
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    static constexpr std::chrono::milliseconds kInterval{200};

    ProgressThrottle() = default;
    explicit ProgressThrottle(Now now) : mNow(std::move(now)) {}

    // True when an event is due now.
    [[nodiscard]] bool due() const { return !mLast || now() > *mLast + kInterval; }

    // Records the time as the last event's: called once the event and the
    // host's loop have run, so the time they took does not count as a pause.
    void fired() { mLast = now(); }

    void setClock(Now now) { mNow = std::move(now); }

private:
    [[nodiscard]] Clock::time_point now() const { return mNow ? mNow() : Clock::now(); }

    Now mNow;
    std::optional<Clock::time_point> mLast;
};

} // namespace sonvert
