#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vx {

// One chip phoneme: its two-letter upper-case name and the one character by
// which the chip writes it in phonetic output and reads it in dictionaries.
struct PhonemeCode
{
    std::string_view name;
    char code;
};

// The chip's 36 phonemes in their stored order. The compiler looks names up
// here and the receive side looks codes up, so both directions stay in step.
inline constexpr std::array<PhonemeCode, 36> kPhonemeCodes{{
    {"AA", 'z'}, {"AE", 'y'}, {"AH", 'x'}, {"AO", 'w'}, {"AW", 'v'}, {"AX", 'u'},
    {"AY", 't'}, {"CH", 's'}, {"DH", 'r'}, {"DX", '<'}, {"EH", 'q'}, {"EI", 'p'},
    {"ER", 'o'}, {"EY", 'n'}, {"IH", 'm'}, {"IX", '{'}, {"IY", 'l'}, {"JH", 'k'},
    {"KX", '>'}, {"NG", 'j'}, {"NY", 'i'}, {"OW", 'h'}, {"OY", 'g'}, {"PX", '`'},
    {"SH", 'd'}, {"TH", 'c'}, {"TX", '_'}, {"UH", 'b'}, {"UW", 'a'}, {"WH", '#'},
    {"YY", '$'}, {"ZH", '%'}, {"AU", '@'}, {"UO", '&'}, {"EW", '*'}, {"RR", '!'},
}};

// Code of the phoneme called `name` (two upper-case letters); nothing when no
// phoneme has that name. Lower-case names are not found.
constexpr std::optional<char> phonemeCodeFor(std::string_view name)
{
    for (const PhonemeCode &p : kPhonemeCodes)
        if (p.name == name)
            return p.code;
    return std::nullopt;
}

// Name of the phoneme the chip writes as `code`; nothing when `code` is no
// phoneme code.
constexpr std::optional<std::string_view> phonemeNameFor(char code)
{
    for (const PhonemeCode &p : kPhonemeCodes)
        if (p.code == code)
            return p.name;
    return std::nullopt;
}

namespace detail {
// Names are upper-case letters and codes never are, so a run of two capitals
// can only ever be a whole name; both lookups rely on that, and on uniqueness.
constexpr bool phonemeTableIsSound()
{
    for (std::size_t i = 0; i < kPhonemeCodes.size(); ++i) {
        const PhonemeCode &p = kPhonemeCodes[i];
        if (p.name.size() != 2 || p.name[0] < 'A' || p.name[0] > 'Z' || p.name[1] < 'A' || p.name[1] > 'Z')
            return false;
        if ((p.code >= 'A' && p.code <= 'Z') || p.code == ' ')
            return false;
        for (std::size_t j = i + 1; j < kPhonemeCodes.size(); ++j)
            if (kPhonemeCodes[j].name == p.name || kPhonemeCodes[j].code == p.code)
                return false;
    }
    return true;
}
static_assert(phonemeTableIsSound());
} // namespace detail

} // namespace vx
