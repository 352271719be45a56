#pragma once

// The serial session of one task: the port is open only while a task runs.
// Every routine drives the link library's serial object (G.Comm) by its
// properties.

#include <QString>

namespace tolv {

// Opens and configures the port for G.Port at the chosen speed. True when
// the port is open afterwards (at once, untouched, when it was open
// already). On failure returns false and, when error is given, the port's
// description of why.
bool OpenPort(QString *error = nullptr);
// A carriage return wakes the chip; after 0.5 s whatever it sent is dropped.
// Throws LinkError when the port fails.
void SendCrAndFlush();
// Tells the chip the session ends (it forgets the line speed). Throws
// LinkError when the port fails.
void SendEndOfSession();
// Closes the port; closing a closed port does nothing.
void ClosePort();

} // namespace tolv
