#pragma once

// Small helpers the control panel files share.

#include "platform/Numbers.h"

#include <QString>
#include <QWidget>

namespace vx::panels {

// Places w by the window's measures, given in twips.
inline void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// Sends a live command through the one send path. A port that failed
// underneath is not the panel's to report: the refresh that follows finds
// the link down and changes nothing. Returns whether it went out.
bool sendCommand(const QString &text);

} // namespace vx::panels
