#include "components/lexmold/cLexmold.h"

#include "components/lexmold/DictionaryCompiler.h"

cLexmold::cLexmold() : mCompiler(std::make_unique<lexmold::DictionaryCompiler>()) {}

cLexmold::~cLexmold() = default;

void cLexmold::SetMessageSink(MessageSink sink)
{
    mCompiler->sink = std::move(sink);
}

int cLexmold::CompileFile(const std::filesystem::path &SourceFile, int CharSet,
                          const std::filesystem::path &ObjectFile, bool blnSilent)
{
    return mCompiler->CompileFile(SourceFile, CharSet, ObjectFile, blnSilent);
}

bool cLexmold::CompileRule(std::string &Rule, bool blnSilent)
{
    return mCompiler->CompileRule(Rule, blnSilent);
}

bool cLexmold::CompileRuleInCharSet(std::string &Rule, int CharSet, bool blnSilent)
{
    mCompiler->blnCharSet = CharSet != 0;
    return mCompiler->CompileRule(Rule, blnSilent);
}
