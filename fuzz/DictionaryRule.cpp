// One rule checked and encoded, as the rule editor does.
#include "components/lexmold/DictionaryCompiler.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string rule(reinterpret_cast<const char *>(data), size);
    lexmold::DictionaryCompiler compiler;
    compiler.blnCharSet = size > 0 && (data[0] & 1);
    (void)compiler.CompileRule(rule, true);
    return 0;
}
