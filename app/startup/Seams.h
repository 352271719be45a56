#pragma once

// Hooks through which the start-up and chip-link routines reach windows and
// routines that other parts of the program own. Each stays empty until its
// owner installs it; callers treat an empty hook as "nothing to do".

#include <functional>

class QWidget;

namespace seams {

// Refreshes every menu and toolbar state from the active window and Busy.
inline std::function<void()> UpdateToolbarState;
// The window in a registry slot, or null when the slot has none.
inline std::function<QWidget *(int slot)> DocumentWindow;

// Calls a hook when it is installed.
template <typename F, typename... A>
inline void call(const F &hook, A &&...args)
{
    if (hook)
        hook(std::forward<A>(args)...);
}

} // namespace seams
