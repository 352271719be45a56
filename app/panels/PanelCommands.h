#pragma once

// The control panels' commands and their reading of the chip's status: what
// each voice, mode and register control sends, and what every panel shows
// after a refresh. The window sends these texts and sets its controls from
// the values; nothing here touches a control or the link.

#include "link/LinkRecords.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace vx {

// One of the nine parameter sliders; the native newer-chip mode widens two.
struct ParameterSlider
{
    const char *label;
    const char *letter; // the delay's letter follows the mode
    int max;
    int nativeMax;
    int largeChange;
    int nativeLargeChange;
    int tick;
    int nativeTick;
    int maxLength; // digits of the number box
    int nativeMaxLength;

    [[nodiscard]] int maxFor(bool native) const { return native ? nativeMax : max; }
};

inline constexpr int kDelaySlider = 8;

[[nodiscard]] std::span<const ParameterSlider> ParameterSliders();
// The voice presets: 8, or 11 in native mode.
[[nodiscard]] QStringList VoiceNames(bool native);
// "Text", "Phonetic", "Character" with their ItemData 116, 100, 99.
[[nodiscard]] QStringList ModeNames();
[[nodiscard]] int ModeItemData(int modeIndex);

// The tool tip of a control: the model, " command: " and the command.
[[nodiscard]] QString CommandToolTip(const QString &chipModel, const QString &command);
// A command as it goes to the chip: the command character, the text, and a
// NUL that makes the chip act on it.
[[nodiscard]] QString LiveCommand(const QString &cmdChar, const QString &text, bool nul = true);

[[nodiscard]] QString VoiceCommand(int voiceIndex);
// "t", "d" or "c" for the mode list's index; empty for no selection.
[[nodiscard]] QString ModeLetter(int modeIndex);
// What a choice in the mode list sends: the letter, "u" when the dictionary
// is in use, then a lone NUL.
[[nodiscard]] QStringList ModeSends(const QString &cmdChar, int modeIndex, bool useDict);
// What the Use Dictionary box sends; phonetic mode needs "t" first to leave
// the dictionary.
[[nodiscard]] QStringList UseDictSends(const QString &cmdChar, bool checked, int modeIndex);

// The value and letter of a slider: "60p"; the delay takes "t" in text and
// phonetic mode, "c" in character mode.
[[nodiscard]] QString ParameterCommand(int slider, int value, int modeIndex);
// A number typed into a slider's box, kept to digits and held to the
// slider's range, so an out-of-range value never reaches the slider or chip.
[[nodiscard]] int ClampParameter(int slider, const QString &typed, bool native);

// The register value of bit-button captions, bit i at index i (each "0" or "1").
[[nodiscard]] int16_t GetRegisterValue(const QStringList &captions);
[[nodiscard]] QStringList RegisterCaptions(int value);
[[nodiscard]] QString ToggledBitCaption(const QString &caption);
// "9g": a register value and its letter ("n" ACR, "g" POR, "b" PFR).
[[nodiscard]] QString RegisterCommand(int value, char letter);

[[nodiscard]] QString RestoreDefaultsQuestion(const QString &chipModel);
// "@", then "-16g" when developing for the older chip.
[[nodiscard]] QStringList RestoreDefaultsSends(const QString &cmdChar, bool for10);

// Title and status line of a panel when it is shown.
[[nodiscard]] QString PanelTitle(int panel, const QString &chipModel);
[[nodiscard]] QString PanelStatusLine(int panel, int recMemFree);

// One pass of the refresh's mode check against the states of the last refresh.
struct ModeCheck
{
    bool sv10Emulation = false; // POR bit 4 clear
    bool moduleCompat = false;  // POR bit 7 clear
    bool showWarning = false;   // emulation just came on and the notice is wanted
    bool restoreCaption = false; // emulation just went off
    bool stable = false;        // nothing changed: leave the loop
    [[nodiscard]] bool native() const { return !sv10Emulation && !moduleCompat; }
};
[[nodiscard]] ModeCheck CheckModeChange(int por, bool prevEmulation, bool prevModuleCompat, bool displayWarning);

// Everything the panels show from one status record.
struct PanelValues
{
    int modeIndex = -1;                      // index in the mode list; -1 for an unknown mode
    std::array<std::optional<int>, 9> sliders; // the delay is unset for an unknown mode
    bool dictionaryKnown = false;
    bool useDict = false;
    QString useDictCommand; // "u", or the mode letter that turns it off
    int voiceIndex = -1;
    int ACR = 0, POR = 0, PFR = 0;
    bool sv10Emulation = false;
    int recMemSize = 0; // KB
    int recMemFree = 0; // KB, or the negative sentinel
    int fileCount = 0;
    bool recMemKnown = false;
    QString recMemLabel;
    int gaugeMax = 1;
    int gaugeValue = 0;
    int indexType = 0; // 0 index addressing, 1 tag addressing
    QString emulationStatus;
    QString addressingStatus;
    int durMaxLength = 6;
};
[[nodiscard]] PanelValues DecodePanelValues(const LinkStatus &status);

} // namespace vx
