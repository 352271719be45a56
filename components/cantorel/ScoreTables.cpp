#include "components/cantorel/ScoreTables.h"

namespace cantorel {

const std::array<ErrorEntry, 11> kErrorTable = {{
    {emrInvalidKey, "emrInvalidKey", "Invalid key signature", false},
    {emrPartNotFound, "emrPartNotFound", "Part specification invalid or not defined", false},
    {emrInvalidVoice, "emrInvalidVoice", "Invalid voice", false},
    {emrInvalidNoteDuration, "emrInvalidNoteDuration", "Missing/invalid note duration (voice ", true},
    {emrInvalidNote, "emrInvalidNote", "Invalid note (voice ", true},
    {emrInvalidVolume, "emrInvalidVolume", "Invalid volume", false},
    {emrInvalidTempo, "emrInvalidTempo", "Invalid tempo", false},
    {emrSyntaxError, "emrSyntaxError", "Syntax error", false},
    {kErrFileNotFound, "", "File not found", false},
    {kErrFileAccess, "", "Path/File access error", false},
    {kErrOverflow, "", "Overflow: the score source is larger than its format can compile", false},
}};

std::string errorMessage(int code, int voice)
{
    for (const ErrorEntry &e : kErrorTable) {
        if (e.code != code)
            continue;
        if (!e.withVoice)
            return e.text;
        return std::string(e.text) + std::to_string(voice) + ")";
    }
    return {};
}

namespace {

// Divisors of the chip's tone generator: entry 1 is c1, each entry one
// semitone higher; entry 0 is silence.
constexpr std::array<std::uint8_t, kToneCount> kDivisors = {
    0,   255, 241, 228, 215, 203, 192, 181, 171, 161, 152, 144, 136, 128,
    121, 114, 107, 101, 96,  90,  85,  81,  76,  72,  68,  64,  60,  57,
    54,  51,  48,  45,  43,  40,  38,  36,  34,  32,  30,  28,  27,  25,
    24,  23,  21,  20,  19,  18,  17,  16,  15,  14,  13};

constexpr int kTopIndex = kToneCount - 1;  // e5, the highest tone

int letterStep(char letter)
{
    switch (letter) {
    case 'c': return 0;
    case 'd': return 2;
    case 'e': return 4;
    case 'f': return 5;
    case 'g': return 7;
    case 'a': return 9;
    case 'b': return 11;
    default: return -1;
    }
}

} // namespace

int toneDivisor(int index)
{
    if (index < 0 || index >= kToneCount)
        return 0;
    return kDivisors[static_cast<std::size_t>(index)];
}

int durationTicks(char letter)
{
    switch (letter) {
    case 'w': return 192;
    case 'h': return 96;
    case 'q': return 48;
    case 'i': return 24;
    case 's': return 12;
    case 't': return 6;
    case 'x': return 3;
    case 'z': return 2;
    default: return 0;
    }
}

char shorterDuration(char letter)
{
    switch (letter) {
    case 'w': return 'h';
    case 'h': return 'q';
    case 'q': return 'i';
    case 'i': return 's';
    case 's': return 't';
    case 't': return 'x';
    default: return 'z';
    }
}

std::optional<std::string> keySignature(std::string_view text)
{
    if (text.size() != 2 || text[0] < '0' || text[0] > '7')
        return std::nullopt;
    const int count = text[0] - '0';
    std::string_view order;
    if (text[1] == '#')
        order = "fcgdaeb";
    else if (text[1] == '&')
        order = "beadgcf";
    else
        return std::nullopt;
    if (count == 0)
        return std::string();
    return std::string(1, text[1]) + std::string(order.substr(0, static_cast<std::size_t>(count)));
}

std::optional<int> noteIndex(char letter, char accidental, int octave)
{
    const int step = letterStep(letter);
    if (step < 0)
        return std::nullopt;
    int shift = 0;
    switch (accidental) {
    case '#': shift = 1; break;
    case '&': shift = -1; break;
    case '%':
    case 0: break;
    default: return std::nullopt;
    }
    if (octave < 1 || octave > 5)
        return std::nullopt;
    if (octave == 5) {
        // The table stops at e5 (which takes the top entry, one semitone
        // short): only c5 to e5 exist as written, f5 to b5 sound an octave
        // lower, and no other spelling names a tone up there.
        const bool plain = accidental == 0 || accidental == '%';
        switch (letter) {
        case 'c':
            if (plain)
                return 49;
            return accidental == '#' ? std::optional<int>(50) : std::nullopt;
        case 'd':
            if (plain)
                return 51;
            return accidental == '&' ? std::optional<int>(50) : std::nullopt;
        case 'e':
            return plain ? std::optional<int>(kTopIndex) : std::nullopt;
        case 'f':
            if (accidental == '&')
                return kTopIndex;
            break;
        default:
            break;
        }
        octave = 4;
    }
    const int index = 12 * (octave - 1) + 1 + step + shift;
    if (index < 1)
        return std::nullopt;  // below c1
    return index;
}

int transpose(int index, int semitones)
{
    if (index == 0)
        return 0;
    long long r = static_cast<long long>(index) + semitones;
    if (r > kTopIndex)
        r -= 12 * ((r - kTopIndex + 11) / 12);
    if (r < 1)
        r += 12 * ((1 - r + 11) / 12);
    return static_cast<int>(r);
}

} // namespace cantorel
