#pragma once

// The one road by which live commands and texts reach the chip, and the
// small text routines that the senders share.

#include "common/TextUtil.h"

#include <QString>

// Sends Text to the chip in pieces of 8 characters, each only while the
// chip's CTS line is on; returns early when StopRequested is set (no further
// piece is written) and at once in demo mode (Port 0). Characters go out as
// Windows-1252 bytes. Throws LinkError when the port is closed.
void SendToChip(const QString &Text);

// After a firmware image was written: waits 0.5 s, then until CTS is on or 5
// more seconds passed. Silent either way.
void WaitForCTS();

// Replaces every backslash followed by two hexadecimal digits (either case)
// by the character of that byte value; the argument changes as well. A
// backslash not followed by two hex digits stays as it is.
QString ExpandHexEscapes(QString &Text);

// Value (0 to 255) as two upper-case hexadecimal digits.
[[nodiscard]] QString HexByte(int Value);

// The text with every occurrence of the typed command shortcut (CommandChar)
// replaced by the command character CmdChar; the argument itself is left as
// it is. An empty or NUL shortcut is off: the text comes back unchanged.
QString ApplyCommandCharacter(QString &Text);
// The same with the shortcut given.
QString ApplyCommandCharacter(QString &Text, const QString &Shortcut);

// The platform version as major * 100 + minor in decimal text; callers
// compare it with 500.
[[nodiscard]] QString GetWindowsVersion();
