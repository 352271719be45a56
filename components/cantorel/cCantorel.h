#pragma once

#include <memory>
#include <string>

namespace cantorel {
class ScoreCompiler;
}

// The music score compiler: turns a score source (.tgn) into the chip's tone
// stream (.tgx). Numbered errors are thrown as vx::ComponentError.
class cCantorel
{
public:
    cCantorel();
    ~cCantorel();
    cCantorel(const cCantorel &) = delete;
    cCantorel &operator=(const cCantorel &) = delete;

    // Compiles SourceFile into ObjectFile (replaced only when the compile
    // succeeds). A source without lines writes nothing and raises nothing.
    // On a score error no object file is left, ErrLineNum receives the line
    // (counting every line of the source) and, unless blnSilent, the error
    // 3000-3007 is thrown with " in line " and the number in its description.
    // On success ErrLineNum is left as it was. A source that cannot be read
    // or an object file that cannot be written throws 53 or 75, silent or not.
    void CompileFile(const std::string &SourceFile, const std::string &ObjectFile, int &ErrLineNum,
                     bool blnSilent = false);

    // Checks one score line in the state the last compile left (or a fresh
    // object's). Writes nothing, and no part is defined outside a compile, so
    // a replay line is refused. Returns whether the line is valid; raises
    // nothing.
    bool CompileMeasure(const std::string &Measure);

private:
    std::unique_ptr<cantorel::ScoreCompiler> mCompiler;
};
