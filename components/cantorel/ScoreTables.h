#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cantorel {

// Numbered errors of the score compiler.
enum ErrorConstants : int {
    emrInvalidKey = 3000,
    emrPartNotFound = 3001,
    emrInvalidVoice = 3002,
    emrInvalidNoteDuration = 3003,
    emrInvalidNote = 3004,
    emrInvalidVolume = 3005,
    emrInvalidTempo = 3006,
    emrSyntaxError = 3007,
};

// File errors keep the numbers the platform's run-time gives them, so the
// program shows them like any other numbered error.
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrFileAccess = 75;

struct ErrorEntry
{
    int code;
    const char *name;
    const char *text;  // for the voice errors, the text before the voice number
    bool withVoice;    // text, voice number, ")"
};

// Every numbered error with its name and message; one place for the texts.
extern const std::array<ErrorEntry, 11> kErrorTable;

// The message of a numbered error; voice fills the voice errors (3003, 3004).
// Returns "" for a code that is not in the table.
[[nodiscard]] std::string errorMessage(int code, int voice = 0);

// Header and closing bytes of a compiled score.
inline constexpr std::array<std::uint8_t, 6> kTgxHeader = {0x0D, 0x0D, 0x18, 0x1E, 0x01, 'j'};
inline constexpr std::array<std::uint8_t, 8> kTgxClosing = {0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00};

// Number of entries of the tone divisor table (0 silence, 1 = c1 ... 52).
inline constexpr int kToneCount = 53;

// Tone divisor of a semitone index 0..52; 0 for anything outside.
[[nodiscard]] int toneDivisor(int index);

// Ticks of a duration letter (w h q i s t x z), 0 for any other character.
[[nodiscard]] int durationTicks(char letter);

// The next shorter duration letter: w to h, h to q, ... t to x, else z.
[[nodiscard]] char shorterDuration(char letter);

// Key string of a key signature text such as "2#" or "3&": the sign and the
// first count letters of its order; "" for no accidentals. Empty optional
// when the text is not a count 0-7 followed by "#" or "&".
[[nodiscard]] std::optional<std::string> keySignature(std::string_view text);

// Semitone index (1..52) of a note letter a-g with its accidental ('#', '&',
// '%' or 0 for none) and octave digit 1-5. Empty optional for a spelling
// that names no playable tone (below c1, or in octave 5 anything but c5 to
// e5 and f5 to b5 with their accidentals).
[[nodiscard]] std::optional<int> noteIndex(char letter, char accidental, int octave);

// Moves a semitone index by a transposition and folds it by octaves into 1..52.
[[nodiscard]] int transpose(int index, int semitones);

} // namespace cantorel
