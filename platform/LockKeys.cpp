#include "platform/LockKeys.h"

#include <QGuiApplication>

// Last: the X11 headers define macros that clash with Qt's names.
#include <X11/XKBlib.h>

namespace vx {

std::optional<LockKeys> readLockKeys()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const auto lit = [display](const char *name) {
        const Atom indicator = XInternAtom(display, name, True);
        Bool on = False;
        return indicator != 0 && XkbGetNamedIndicator(display, indicator, nullptr, &on, nullptr, nullptr) && on;
    };
    return LockKeys{lit("Num Lock"), lit("Caps Lock")};
}

} // namespace vx
