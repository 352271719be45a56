#pragma once

#include <optional>

namespace vx {

// The keyboard's lock states, as its lights show them.
struct LockKeys
{
    bool num = false;
    bool caps = false;
};

// The lock states where the platform tells them (an X11 display, through
// its keyboard extension); nullopt where it does not (Wayland, offscreen).
[[nodiscard]] std::optional<LockKeys> readLockKeys();

} // namespace vx
