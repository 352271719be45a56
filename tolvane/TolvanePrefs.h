#pragma once

// The download utility's name, version and settings. Its settings live in a
// file of its own, apart from the workbench's.

#include <QString>
#include <QStringList>

namespace tolv {

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 48;
// The main window's section of Docs/Tolvane_Help.html (F1).
inline constexpr int kHelpTopic = 491;

// Program name: settings file, single-instance lock, title.
[[nodiscard]] QString appName();
// "Tolvane 2.0": the main window's normal caption.
[[nodiscard]] QString windowTitle();
// "Version 2.00.0048": the idle LED's tool tip.
[[nodiscard]] QString versionToolTip(int major, int minor, int revision);

// The speed list, in order (positions 1 to 10).
[[nodiscard]] const QStringList &baudRates();
// The speed text of a 1-based position; "9600" for a position outside the list.
[[nodiscard]] QString speedText(int baudRate);
// "COM3:115200".
[[nodiscard]] QString portInfoText(int port, int baudRate);

// Reads "Port", "BaudRate", "DisplayDnldConfirm" and "DisplayErasConfirm"
// into the globals. A stored port outside 1 to 32 reads as none chosen and a
// speed outside the list as 115200, so the lists can always show them.
void readSettings();
// The port and speed the lists show at start written back (the speed alone
// while no port is chosen). Nobody chose them then, so a store that cannot
// keep them says nothing.
void keepPortSettings(int port, int baudRate);
void savePort(int port);
void saveBaudRate(int baudRate);
void saveDisplayDnldConfirm(bool on);
void saveDisplayErasConfirm(bool on);

} // namespace tolv
