#pragma once

// The text steps every dictionary rule goes through before it is parsed:
// upper-casing of the match part, the character-set translation and the hex
// escapes. All of them work on single Windows-1252 bytes, never on the locale.

#include <string>
#include <string_view>

namespace lexmold {

// The chip's command character, which starts an embedded command.
inline constexpr char kCmdChar = '\x01';

// Windows-1252 upper case of one byte: a-z, the accented small letters and
// the four small letters in 0x80-0x9F that have capitals in the code page.
unsigned char upperCase1252(unsigned char c);
std::string upperCase1252(std::string_view text);

// The text without leading and trailing blanks (spaces only; a tab is kept).
std::string_view trimBlanks(std::string_view text);

// Everything before the last "=" in upper case; the output part keeps its
// case. A text without "=" comes back unchanged.
std::string UpperCaseMatchPart(std::string_view text);

// Every byte of 128 or more replaced by its stand-in in the chip's character
// table: the "ISO 8859-1/ANSI" table when `isoCharSet`, else the "Code page
// 437" one. Sets `highChars` when such a byte was met (never clears it).
std::string TranslateCharSet(std::string_view text, bool isoCharSet, bool &highChars);

// Each "\" followed by two hex digits (either case) replaced by the byte of
// that value. The scan goes on after the inserted byte, so a produced "\" is
// never read again; a "\" without two hex digits stays as it is.
std::string ExpandRuleEscapes(std::string_view text);

// Entry (code - 128) of the ISO table, for the 128 codes 128-255.
unsigned char isoTranslation(unsigned char code);
// The code page 437 stand-in for a code of 128 or more.
unsigned char cp437Translation(unsigned char code);

} // namespace lexmold
