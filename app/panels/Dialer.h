#pragma once

// The tone generator: the dialer's keys, the checks of the entry boxes, and
// the chip's tone command "j" in its two forms (bytes for the older chip's
// emulation, digits otherwise).

#include <QString>

#include <optional>
#include <span>

namespace vx {

struct DialerKey
{
    int index;
    const char *caption;
    int f1;
    int f2;
    const char *toolTip; // nullptr: none
};

inline constexpr int kPauseKey = 16;

[[nodiscard]] std::span<const DialerKey> DialerKeys();
[[nodiscard]] const DialerKey *FindDialerKey(int index);
// A key plays at once unless it is the pause or the program is busy.
[[nodiscard]] bool DialerKeyPlays(int index, bool busy);

enum class ToneBox { Frequency, Duration };
// The box's text after validation: empty or 0 reads "0", then the limits of
// the mode. Letters are gone before this (digits only).
[[nodiscard]] QString ValidateToneBox(ToneBox box, const QString &text, bool emulation);

struct ToneParameters
{
    // Byte form.
    int minDivider = 0;
    int durDivider = 0;
    int divider = 0;
    int f1Byte = 0;
    int f2Byte = 0;
    int durByte = 0; // 1 to 255: a duration never wraps
    // Digit form.
    QString f1Text;
    QString f2Text;
    QString durText;
};

// Recomputes the parameters for the mode (durations in ms, frequencies in
// Hz). In the byte form a duration of 0 leaves them as they were, and a
// duration too long for the higher frequency is lowered to the longest the
// divider allows: that duration is returned, for the box to show.
std::optional<int> ComputeToneParameters(int f1, int f2, int durMs, bool emulation, ToneParameters &p);

// The command as the command box holds it, the command character written
// "\01" and the bytes as hexadecimal escapes.
[[nodiscard]] QString ToneCommandText(const ToneParameters &p, bool emulation);
// The command as a key plays it: CAN, the command character, the command, NUL.
[[nodiscard]] QString ToneCommandLive(const ToneParameters &p, bool emulation, const QString &cmdChar);
// The box's text with a command appended, blanks trimmed at the ends.
[[nodiscard]] QString AppendToneCommand(const QString &box, const QString &command);

} // namespace vx
