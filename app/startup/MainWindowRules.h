#pragma once

// The plain rules of the main window's start-up and status bar: where the
// window goes, what the splash and the chipset panel say, and which file the
// command line names. The windows call these; tests call them directly.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace mainwin {

// The settings section and program name the main window's keys live under.
[[nodiscard]] QString appName();
inline const char *const kSection = "Settings";

// Window measures in twips, as the settings store keeps them.
struct MainGeometry
{
    int width = 13200;
    int height = 9330;
    int left = 0;
    int top = 0;
    int windowState = 0; // 0 normal, 1 minimized, 2 maximized
};

// (screen - size) / 2, truncated as whole-number division does.
[[nodiscard]] int centredPosition(int screenSize, int windowSize);
// The stored position when at least 100 twips of the window stay on the
// screen, else the centred one.
[[nodiscard]] int placeOnScreen(int stored, int windowSize, int screenSize);

// Reads "MDIWidth", "MDIHeight", "MDILeft", "MDITop" and "MDIWindowState" in
// that order, each from its default when missing or unreadable, and keeps the
// window reachable on a screen of the given size (twips). With no stored
// width the window opens wider than its default, up to wantedWidth, where the
// screen allows.
[[nodiscard]] MainGeometry readMainGeometry(int screenWidth, int screenHeight, int wantedWidth = 0);
// Writes the five keys as decimal text.
void saveMainGeometry(const MainGeometry &g);

// "Version 1.02.0003": major, minor as two digits, revision as four.
[[nodiscard]] QString splashVersionText(int major, int minor, int revision);

// Thousands with "," and no decimals ("#,##0").
[[nodiscard]] QString formatThousands(std::int64_t value);

// The speaking time the recording memory holds, by its size in KB; only the
// sizes of the chip's memory parts have one.
[[nodiscard]] QString recMemMinutesText(double kb);

// Panel 4 with a chip: "Chipset: " model "/" KB " KB " minutes. The sizes
// are the link status's recording-memory bytes (-1 when not available), the
// second one read anew for the minutes. The KB figure is rounded to whole KB
// and kept wide, so memories of 32 MB and more show their real size.
[[nodiscard]] QString chipsetPanelText(const QString &chipModel, std::int32_t recMemBytes,
                                       std::int32_t recMemBytesForMinutes);

// The status-bar texts without a chip.
inline const char *const kDemoEmulationText = "SV3410 Emulation: Off";
inline const char *const kDemoAddressingText = "Addressing Mode: Index";
inline const char *const kDemoChipsetText = "Chipset: (none)";
// Panel 5 by whether the chip is known to hold a dictionary.
[[nodiscard]] QString dictionaryPanelText(bool dictionaryKnown);

// The file named on the command line: trimmed, and without its surrounding
// double quotes when it starts with one. Empty when there is none.
[[nodiscard]] QString commandLineFile(const QString &commandLine);
// The command line from the program's arguments (joined by blanks, as one
// path may have held them), with a relative file name made absolute against
// the folder the program was started in.
[[nodiscard]] QString commandLineOf(const QStringList &arguments, const QString &startFolder);

} // namespace mainwin
