#pragma once

// The dictionary compiler component: checks pronunciation rules and compiles
// dictionary sources into the chip's compiled dictionary (.dix). Text is
// taken and given as single Windows-1252 bytes.

#include "components/lexmold/LexmoldError.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace lexmold {
class DictionaryCompiler;
}

class cLexmold
{
public:
    // Shows a rule message: text (Windows-1252 bytes) and title, which is
    // always "Compiler Error". The program hooks its message box here.
    using MessageSink = std::function<void(const std::string &text, const std::string &title)>;

    cLexmold();
    ~cLexmold();
    cLexmold(const cLexmold &) = delete;
    cLexmold &operator=(const cLexmold &) = delete;

    // Where rule messages go. With no sink set, nothing is shown.
    void SetMessageSink(MessageSink sink);

    // Compiles the dictionary source `SourceFile` into `ObjectFile` (created
    // or replaced). `CharSet` 0 reads the source's high characters as "Code
    // page 437", any other value as "ISO 8859-1/ANSI". Returns 0 on success
    // (also for an empty source, which writes no file), else the physical
    // line of the first rule that failed; that rule has been reported unless
    // `blnSilent`, and no object file is left. Throws lexmold::LexmoldError
    // when the source has more than 2000 lines or compiles larger than the
    // format can index (no object file is left then either), or when a file
    // cannot be read or written (the object path is left as it was).
    int CompileFile(const std::filesystem::path &SourceFile, int CharSet, const std::filesystem::path &ObjectFile,
                    bool blnSilent = false);

    // Checks one rule with the character set chosen last (by CompileFile or
    // the overload below; "Code page 437" in a new object). Upper-cases the
    // part of `Rule` before its last "=" in place. True when the rule is
    // valid; a bad rule is reported unless `blnSilent`.
    bool CompileRule(std::string &Rule, bool blnSilent = false);

    // The same check with the character set given (the program passes its
    // current setting): it becomes the object's choice for later checks too.
    bool CompileRuleInCharSet(std::string &Rule, int CharSet, bool blnSilent = false);

private:
    std::unique_ptr<lexmold::DictionaryCompiler> mCompiler;
};
