// A music score compiled in memory, then its first line checked alone.
#include "components/cantorel/ScoreCompiler.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    cantorel::ScoreCompiler compiler;
    const auto lines = cantorel::splitLines(text);
    (void)compiler.compileScore(lines);
    if (!lines.empty())
        (void)compiler.compileMeasure(lines.front());
    return 0;
}
