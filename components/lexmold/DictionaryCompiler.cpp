#include "components/lexmold/DictionaryCompiler.h"

#include "common/ReadFiles.h"
#include "common/SafeFile.h"

#include "common/PhonemeCodes.h"
#include "components/lexmold/RuleText.h"

#include <array>
#include <cerrno>
#include <string_view>

namespace lexmold {

namespace {

constexpr unsigned char kCommandBracket = 253;
constexpr char kRightMark = static_cast<char>(229);
// The last letter of an embedded command that a dictionary may hold.
constexpr std::string_view kCommandEnds = "ABCDEFGHIKMOPQRSTUVXYZ@*&$";
constexpr std::string_view kKeptSigns = "\\/[].,'+-";
const std::string kMarkedEmptyMatch{'(', '\0', ')'};
const std::string kFullTerminator{kRightMark, 'f', ';'};
const std::string kShortTerminator{kRightMark, ';'};

bool isLetter(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Clears blnIndexedSection on every way out of a compile.
struct IndexedSectionGuard
{
    bool &flag;
    ~IndexedSectionGuard() { flag = false; }
};

// Groups whose terminator is fixed by the chip's lookup rather than by the
// section's default.
const std::string &groupTerminator(int k, const std::string &sectionDefault)
{
    if (k == 0 || k == 96)
        return kFullTerminator;
    if ((k >= 1 && k <= 9) || k == 11 || k == 12 || (k >= 14 && k <= 31) || (k >= 97 && k <= 122))
        return kShortTerminator;
    return sectionDefault;
}

void putLe16(std::string &bytes, std::size_t at, int value)
{
    const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

// Removes what stands at the object path after a failed compile, so no stale
// or partial dictionary is mistaken for the result. A folder is left alone.
void removeObjectFile(const std::filesystem::path &object)
{
    std::error_code ec;
    const auto st = std::filesystem::symlink_status(object, ec);
    if (!ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st))
        std::filesystem::remove(object, ec);
}

// Writes `bytes` to a new file beside `object` and renames it into place.
void writeObjectFile(const std::filesystem::path &object, const std::string &bytes)
{
    std::string cause;
    if (!vx::writeFileAtomically(object, bytes, &cause))
        throw LexmoldError(kErrPathFileAccess, vx::fileErrorText("Cannot write", object.string(), cause));
}

} // namespace

std::uint16_t DictionaryCompiler::FlagsWord() const
{
    std::uint16_t w = 0x8000;
    if (blnBacktickMatch) w |= 1u << 4;
    if (blnEmptyMatch) w |= 1u << 3;
    if (blnCharSet) w |= 1u << 2;
    if (blnHighChars) w |= 1u << 1;
    if (blnDollarMatch) w |= 1u << 0;
    return w;
}

std::vector<std::string> DictionaryCompiler::SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string current;
    bool pending = false; // a line has begun since the last line end
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current.push_back(c);
            pending = true;
        }
    }
    if (pending)
        lines.push_back(std::move(current));
    return lines;
}

void DictionaryCompiler::report(Fault fault, const std::string &command, bool blnSilent) const
{
    if (blnSilent || !sink)
        return;
    const bool inFile = intCurrentLine >= 1 && static_cast<std::size_t>(intCurrentLine) < intLineNumbers.size();
    const std::string where = inFile ? " in line " + std::to_string(intLineNumbers[intCurrentLine]) : std::string();
    std::string text;
    if (fault == Fault::InvalidSyntax) {
        text = "Invalid syntax" + where + ".  ";
    } else {
        text = "Invalid embedded command" + (inFile ? where + ":" : std::string(".")) + "\r\n\n'" + command +
               "' command cannot be used in dictionaries.  \r\n";
    }
    sink(text, kMessageTitle);
}

bool DictionaryCompiler::encodeOutput(std::string &out, bool blnSilent) const
{
    // One pass from the source text into a new one: editing in place would
    // move the rest of a long rule at every step.
    const std::string &in = out;
    std::string res;
    res.reserve(in.size() + 16);
    std::size_t p = 0;
    while (p < in.size()) {
        const unsigned char c = upperCase1252(static_cast<unsigned char>(in[p]));
        const bool hasNext = p + 1 < in.size();
        const unsigned char n = hasNext ? upperCase1252(static_cast<unsigned char>(in[p + 1])) : 0;

        if (c == static_cast<unsigned char>(kCmdChar)) {
            const std::size_t blank = in.find(' ', p);
            const std::size_t end = blank == std::string::npos ? in.size() : blank;
            const std::string cmd = in.substr(p, end - p);
            const std::string t = upperCase1252(cmd);
            const std::size_t j = t.find('J');
            if (j != std::string::npos) {
                // Tone command: three argument bytes after the J, or an
                // eight-digit number.
                if (t.size() - j - 1 < 3) {
                    report(Fault::InvalidCommand, t.substr(1), blnSilent);
                    return false;
                }
                std::string body = cmd.substr(1);
                body[j - 1] = 'J';
                const std::string after = t.substr(j + 1);
                bool eightDigits = after.size() == 8;
                for (const char d : after)
                    eightDigits = eightDigits && isDigit(static_cast<unsigned char>(d));
                if (!eightDigits)
                    body.resize(j + 3);
                res += static_cast<char>(kCommandBracket);
                res += body;
                res += static_cast<char>(kCommandBracket);
                p = end;
                // The blank that ended the command stays and is not scanned;
                // characters past the arguments are dropped with the command.
                if (p < in.size())
                    res += in[p++];
                continue;
            }
            const unsigned char last = static_cast<unsigned char>(t.back());
            if (t.size() < 2 || kCommandEnds.find(static_cast<char>(last)) == std::string_view::npos) {
                report(Fault::InvalidCommand, t.substr(1), blnSilent);
                return false;
            }
            res += static_cast<char>(kCommandBracket);
            res.append(t, 1);
            res += static_cast<char>(kCommandBracket);
            p = end; // the ending blank, if any, is scanned next
        } else if (isLetter(c) && hasNext && isLetter(n)) {
            const char key[2] = {static_cast<char>(c), static_cast<char>(n)};
            const auto code = vx::phonemeCodeFor(std::string_view(key, 2));
            if (!code) {
                report(Fault::InvalidSyntax, {}, blnSilent);
                return false;
            }
            res += *code;
            p += 2;
        } else if (c == ' ' && hasNext && n == ' ') {
            res += ' '; // a word gap the chip receives
            p += 2;
        } else if (c == ' ' && hasNext) {
            ++p; // a separator between names and letters
        } else if (c == ' ') {
            res += in[p++];
        } else if (isLetter(c)) {
            if (c == 'C' || c == 'Q') {
                report(Fault::InvalidSyntax, {}, blnSilent);
                return false;
            }
            res += static_cast<char>(c);
            ++p;
        } else if (c == '<') {
            res += '(';
            ++p;
        } else if (c == '>') {
            res += ')';
            ++p;
        } else if (kKeptSigns.find(static_cast<char>(c)) != std::string_view::npos) {
            res += in[p++];
        } else if (isDigit(c)) {
            const std::size_t k = (hasNext && isDigit(n)) ? 2 : 1;
            res.append(in, p, k);
            p += k;
        } else {
            report(Fault::InvalidSyntax, {}, blnSilent);
            return false;
        }
    }
    out = std::move(res);
    return true;
}

bool DictionaryCompiler::ParseRule(std::string &Rule, bool blnSilent)
{
    const std::string_view trimmed = trimBlanks(Rule);
    if (trimmed.empty() || trimmed.front() == ';' || Rule == strEmptyRule) {
        Rule.clear();
        return true;
    }

    const std::size_t open = Rule.find('(');
    const std::size_t close = Rule.rfind(')');
    const std::size_t eq = Rule.rfind('=');
    if (open == std::string::npos || close == std::string::npos || eq == std::string::npos || close > eq ||
        close < open) {
        report(Fault::InvalidSyntax, {}, blnSilent);
        return false;
    }

    const std::string left = Rule.substr(0, open);
    std::string match = Rule.substr(open + 1, close - open - 1);
    std::string right = Rule.substr(close + 1, eq - close - 1) + "e";
    std::string output = Rule.substr(eq + 1);

    if (match.find('$') != std::string::npos)
        blnDollarMatch = true;
    if (!match.empty() && match.front() == '`')
        blnBacktickMatch = true;
    if (match == std::string(1, '\0'))
        blnEmptyMatch = true;
    if (blnIndexedSection && !match.empty())
        match.erase(0, 1);

    // The mark is bit 7 of the first byte; a byte that already has it (only
    // reachable through an escape) cannot carry the mark.
    if (!match.empty()) {
        if (static_cast<unsigned char>(match.front()) >= 128) {
            report(Fault::InvalidSyntax, {}, blnSilent);
            return false;
        }
        match.front() = static_cast<char>(static_cast<unsigned char>(match.front()) + 128);
    }
    if (static_cast<unsigned char>(right.front()) >= 128) {
        report(Fault::InvalidSyntax, {}, blnSilent);
        return false;
    }
    right.front() = static_cast<char>(static_cast<unsigned char>(right.front()) + 128);

    if (!encodeOutput(output, blnSilent))
        return false;

    Rule = left + match + right + output + ";";
    return true;
}

bool DictionaryCompiler::CompileRule(std::string &Rule, bool blnSilent)
{
    Rule = UpperCaseMatchPart(Rule);
    std::string work = ExpandRuleEscapes(TranslateCharSet(Rule, blnCharSet, blnHighChars));
    intCurrentLine = 0;
    blnIndexedSection = false;
    return ParseRule(work, blnSilent);
}

DictionaryCompiler::Result DictionaryCompiler::CompileLines(const std::vector<std::string> &physicalLines,
                                                            int CharSet, bool blnSilent)
{
    IndexedSectionGuard guard{blnIndexedSection};
    strEmptyRule = kEmptyRuleText;
    blnCharSet = CharSet != 0;
    blnHighChars = blnDollarMatch = blnEmptyMatch = blnBacktickMatch = false;
    blnIndexedSection = false;
    strLines.assign(1, std::string());
    intLineNumbers.assign(1, 0);

    if (physicalLines.size() > static_cast<std::size_t>(kMaxSourceLines))
        throw LexmoldError(kErrSubscriptOutOfRange,
                           "Subscript out of range: a dictionary source may hold at most 2000 lines");
    const std::size_t physicalCount = physicalLines.size();
    if (physicalCount < 1)
        return {};

    // Join continued lines, numbering each by its first physical line.
    for (std::size_t i = 0; i < physicalCount;) {
        intLineNumbers.push_back(static_cast<int>(i) + 1);
        std::string line = physicalLines[i++];
        for (;;) {
            // In place: copying the joined line at each step would grow with
            // the square of its length.
            const std::size_t last = line.find_last_not_of(' ');
            const std::size_t length = last == std::string::npos ? 0 : last + 1;
            if (length < 2 || line.compare(length - 2, 2, " _") != 0)
                break;
            line.resize(length - 2);
            if (i >= physicalCount)
                break; // a marker on the last line has nothing to join
            line += physicalLines[i++];
        }
        strLines.push_back(std::move(line));
    }
    const int n = static_cast<int>(strLines.size()) - 1;

    // Prepare every rule line; comments stay as written.
    for (int i = 1; i <= n; ++i) {
        std::string &line = strLines[i];
        const std::string_view trimmed = trimBlanks(line);
        if (!trimmed.empty() && trimmed.front() == ';')
            continue;
        line = ExpandRuleEscapes(TranslateCharSet(UpperCaseMatchPart(line), blnCharSet, blnHighChars));
        const std::size_t open = line.find('(');
        const std::size_t close = line.rfind(')');
        if (open != std::string::npos && close == open + 1)
            line.insert(open + 1, 1, '\0');
    }

    // The section line: never the last line.
    int r = n + 1;
    for (int i = 1; i <= n - 1; ++i) {
        if (upperCase1252(trimBlanks(strLines[i])) == "C") {
            r = i;
            break;
        }
    }

    std::string image;
    image.reserve(1024);
    image += "\r\r\x18\x1E";
    image += std::string{kCmdChar, 'l', '\0'};
    image += std::string{kCmdChar, '2', '4', '7', 'w', '\0'};
    image.append(3, '\0');
    image.append(2 * (2 + kIndexEntries), '\xFF');
    image += ';';

    std::array<int, kIndexEntries> index{};
    int offset = 260;
    auto emit = [&](const std::string &bytes) {
        image += bytes;
        offset += static_cast<int>(bytes.size());
        if (offset > kMaxOffset)
            throw LexmoldError(kErrOverflow, "Overflow: the compiled dictionary is larger than its format can index");
    };
    auto sectionDefault = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            if (strLines[i].compare(0, strEmptyRule.size(), strEmptyRule) == 0)
                return kShortTerminator;
        return kFullTerminator;
    };
    auto compileLine = [&](int i) {
        intCurrentLine = i;
        std::string rule = strLines[i];
        if (!ParseRule(rule, blnSilent))
            return false;
        emit(rule);
        strLines[i].clear();
        return true;
    };
    auto failed = [&]() { return Result{intLineNumbers[intCurrentLine], {}}; };

    // Indexed section: one group per key character, in code order.
    const std::string indexedDefault = sectionDefault(1, r - 1);
    std::vector<int> keys(static_cast<std::size_t>(n) + 1, -1);
    for (int i = 1; i < r; ++i) {
        const std::string &line = strLines[i];
        if (line.empty())
            continue;
        const std::size_t open = line.find('(');
        if (open == std::string::npos)
            keys[i] = static_cast<unsigned char>(line.front());
        else if (open + 1 < line.size())
            keys[i] = static_cast<unsigned char>(line[open + 1]);
        else
            keys[i] = 0; // no key character: such a line is rejected by the parser with group 0
    }
    blnIndexedSection = true;
    for (int k = 0; k < 128; ++k) {
        index[k] = offset;
        for (int i = 1; i < r; ++i)
            if (!strLines[i].empty() && keys[i] == k && !compileLine(i))
                return failed();
        emit(groupTerminator(k, indexedDefault));
    }
    // A rule keyed by a byte of 128 or more has no group to go into: refuse
    // it rather than leave it out of the dictionary unnoticed.
    for (int i = 1; i < r; ++i) {
        if (strLines[i].empty())
            continue;
        const std::string_view trimmed = trimBlanks(strLines[i]);
        if (trimmed.empty() || trimmed.front() == ';') {
            strLines[i].clear();
            continue;
        }
        intCurrentLine = i;
        report(Fault::InvalidSyntax, {}, blnSilent);
        return failed();
    }
    index[128] = offset;
    blnIndexedSection = false;

    // General section: rules whole, those with an empty match last.
    const std::string generalDefault = sectionDefault(r + 1, n);
    for (int i = r + 1; i <= n; ++i)
        if (!strLines[i].empty() && strLines[i].find(kMarkedEmptyMatch) == std::string::npos && !compileLine(i))
            return failed();
    emit(generalDefault);
    index[129] = offset;
    for (int i = r + 1; i <= n; ++i)
        if (!strLines[i].empty() && strLines[i].find(kMarkedEmptyMatch) != std::string::npos && !compileLine(i))
            return failed();

    image += kFullTerminator;
    image.append(3, '\xFF');

    image[16] = '\xCA';
    image[17] = '\xB9';
    putLe16(image, 18, FlagsWord());
    for (int k = 0; k < kIndexEntries; ++k)
        putLe16(image, static_cast<std::size_t>(kIndexStart + 2 * k), index[k]);

    strLines.assign(1, std::string());
    return {0, std::move(image)};
}

int DictionaryCompiler::CompileFile(const std::filesystem::path &SourceFile, int CharSet,
                                    const std::filesystem::path &ObjectFile, bool blnSilent)
{
    // The character-set choice and the cleared flags hold even when the source
    // cannot be read: later rule checks go by the last compile's choice.
    strEmptyRule = kEmptyRuleText;
    blnCharSet = CharSet != 0;
    blnHighChars = blnDollarMatch = blnEmptyMatch = blnBacktickMatch = false;

    // Refused before it is read: no source this large can compile.
    std::string text;
    switch (vx::readRegularFile(SourceFile, text, kMaxSourceBytes)) {
    case 0:
        break;
    case EFBIG:
        removeObjectFile(ObjectFile);
        throw LexmoldError(kErrOverflow, "Overflow: the dictionary source is larger than its format can compile");
    case EISDIR:
    case EINVAL: // a pipe or a device
    case EIO:
        throw LexmoldError(kErrPathFileAccess, "Path/File access error");
    default:
        throw LexmoldError(kErrFileNotFound, "File not found");
    }

    Result result;
    try {
        result = CompileLines(SplitLines(text), CharSet, blnSilent);
    } catch (const LexmoldError &) {
        strLines.assign(1, std::string());
        removeObjectFile(ObjectFile);
        throw;
    }
    if (result.failedLine != 0) {
        strLines.assign(1, std::string());
        removeObjectFile(ObjectFile);
        return result.failedLine;
    }
    if (!result.bytes.empty())
        writeObjectFile(ObjectFile, result.bytes);
    return 0;
}

} // namespace lexmold
