#include "components/lexmold/RuleText.h"

#include <array>

namespace lexmold {

namespace {

// Stand-ins for 128-255 in the ISO character set. Accented letters fold onto
// the chip's codes 1-31, upper and lower case alike; signs become blanks,
// quotes, hyphens and similar.
constexpr std::array<unsigned char, 128> kIsoTable{
    127, 32,  34,  120, 34,  46,  32,  32,  94,  122, 118, 34,  117, 32,  116, 32,  // 128
    32,  34,  34,  34,  34,  121, 45,  45,  126, 97,  118, 34,  117, 32,  116, 4,   // 144
    32,  33,  98,  99,  111, 100, 32,  101, 32,  102, 32,  34,  32,  45,  103, 32,  // 160
    104, 105, 32,  32,  32,  106, 107, 32,  32,  32,  32,  34,  108, 109, 110, 63,  // 176
    5,   6,   7,   8,   9,   11,  12,  1,   24,  29,  30,  31,  28,  23,  27,  26,  // 192
    2,   3,   14,  15,  16,  17,  18,  113, 115, 19,  20,  21,  22,  25,  114, 119, // 208
    5,   6,   7,   8,   9,   11,  12,  1,   24,  29,  30,  31,  28,  23,  27,  26,  // 224
    2,   3,   14,  15,  16,  17,  18,  112, 115, 19,  20,  21,  22,  25,  114, 4,   // 240
};

int hexValue(char c)
{
    const unsigned char u = upperCase1252(static_cast<unsigned char>(c));
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

unsigned char upperCase1252(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: break;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    return c;
}

std::string upperCase1252(std::string_view text)
{
    std::string out(text);
    for (char &ch : out)
        ch = static_cast<char>(upperCase1252(static_cast<unsigned char>(ch)));
    return out;
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string UpperCaseMatchPart(std::string_view text)
{
    const auto eq = text.rfind('=');
    if (eq == std::string_view::npos)
        return std::string(text);
    return upperCase1252(text.substr(0, eq)) + std::string(text.substr(eq));
}

unsigned char isoTranslation(unsigned char code)
{
    return code >= 128 ? kIsoTable[code - 128] : code;
}

unsigned char cp437Translation(unsigned char code)
{
    switch (code) {
    case 128: case 135: return 28;
    case 129: case 154: return 26;
    case 130: case 144: return 29;
    case 131: case 132: return 25;
    case 133: case 134: case 160: return 'A';
    case 136: case 138: return 30;
    case 147: case 148: return 31;
    case 150: case 163: return 24;
    case 151: return 'U';
    case 161: return 'I';
    case 162: return 'O';
    case 164: case 165: return 27;
    default: return code >= 128 ? static_cast<unsigned char>(code - 128) : code;
    }
}

std::string TranslateCharSet(std::string_view text, bool isoCharSet, bool &highChars)
{
    std::string out(text);
    for (char &ch : out) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 128)
            continue;
        highChars = true;
        ch = static_cast<char>(isoCharSet ? isoTranslation(u) : cp437Translation(u));
    }
    return out;
}

std::string ExpandRuleEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\\' && i + 2 < text.size()) {
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
        ++i;
    }
    return out;
}

} // namespace lexmold
