#pragma once

// The dictionary compiler behind cLexmold: the object state, the parser and
// encoder of one rule, and the compile of a whole source into the bytes of a
// compiled dictionary. Plain C++ on single Windows-1252 bytes.

#include "components/lexmold/LexmoldError.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lexmold {

// Receives a rule message: its text (Windows-1252 bytes) and its title.
using MessageSink = std::function<void(const std::string &text, const std::string &title)>;

inline constexpr const char *kMessageTitle = "Compiler Error";
// A source may hold this many physical lines at most.
inline constexpr int kMaxSourceLines = 2000;
// Largest source file read. The compiled rules must fit 32 KB in at most
// 2000 lines, so a source this large can only be a wrong file; it is refused
// before it is read.
inline constexpr std::uintmax_t kMaxSourceBytes = 8 * 1024 * 1024;
// Index entries are signed 16-bit offsets from the first index byte, so the
// running offset may not pass this.
inline constexpr int kMaxOffset = 32767;
// Offset of the first index byte in a compiled dictionary.
inline constexpr int kIndexStart = 20;
inline constexpr int kIndexEntries = 130;

// The rule *()=* once its empty match is marked.
inline const std::string kEmptyRuleText{'(', '\0', ')', '='};

class DictionaryCompiler
{
public:
    // Outcome of compiling a source held in memory.
    struct Result
    {
        int failedLine = 0;  // 0, or the physical line of the rule that failed
        std::string bytes;   // the compiled dictionary; empty when nothing is written
    };

    // Object state. Tests read it; the class keeps it consistent.
    bool blnHighChars = false;
    bool blnDollarMatch = false;
    bool blnCharSet = false;
    bool blnIndexedSection = false;
    bool blnEmptyMatch = false;
    bool blnBacktickMatch = false;
    int intCurrentLine = 0;
    std::vector<int> intLineNumbers;  // index 0 unused, as the lines
    std::string strEmptyRule = kEmptyRuleText;
    std::vector<std::string> strLines; // joined lines 1..n; index 0 unused

    // Where rule messages go; unset means they are not shown.
    MessageSink sink;

    // Compiles `SourceFile` into `ObjectFile`. Returns 0 on success (also for
    // an empty source, which writes nothing), else the physical line of the
    // first rule that failed in compile order; the object file is then gone.
    // Throws LexmoldError when a file cannot be read or written or the source
    // is beyond the format's limits; no object file is left after the limits
    // are passed. The object file is written through a temporary file in its
    // folder, so it appears only whole.
    int CompileFile(const std::filesystem::path &SourceFile, int CharSet,
                    const std::filesystem::path &ObjectFile, bool blnSilent);

    // Compiles physical source lines held in memory. Throws LexmoldError for
    // more than kMaxSourceLines lines or an offset past kMaxOffset.
    Result CompileLines(const std::vector<std::string> &physicalLines, int CharSet, bool blnSilent);

    // Checks one rule with the current character-set choice. Upper-cases the
    // part before the last "=" of `Rule` in place; true when the rule is valid.
    bool CompileRule(std::string &Rule, bool blnSilent);

    // Parses and encodes one prepared rule. When valid, `Rule` becomes its
    // encoded form ("" for a comment) and the result is true; otherwise the
    // fault is reported (unless silent), `Rule` is left as it was and the
    // result is false.
    bool ParseRule(std::string &Rule, bool blnSilent);

    // The flags word of a compiled dictionary from the current flags.
    [[nodiscard]] std::uint16_t FlagsWord() const;

    // Splits file text into lines at CR LF, LF or CR; a final line end adds
    // no empty line.
    static std::vector<std::string> SplitLines(const std::string &text);

private:
    enum class Fault { InvalidSyntax, InvalidCommand };
    void report(Fault fault, const std::string &command, bool blnSilent) const;
    bool encodeOutput(std::string &out, bool blnSilent) const;
};

} // namespace lexmold
