// A dictionary source compiled in memory; the first byte picks the
// character set.
#include "components/lexmold/DictionaryCompiler.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    lexmold::DictionaryCompiler compiler;
    try {
        (void)compiler.CompileLines(lexmold::DictionaryCompiler::SplitLines(text), data[0] & 1, true);
    } catch (const lexmold::LexmoldError &) {
        // the limits of the format: a documented outcome
    }
    return 0;
}
