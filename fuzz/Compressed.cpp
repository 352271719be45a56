// Compressed chip data decoded with either rules (the first byte picks),
// and the rest compressed and decoded back.
#include "components/sonvert/Compression.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto rules = (data[0] & 1) ? sonvert::CodecRules::Newer : sonvert::CodecRules::Older;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    (void)sonvert::decompressSamples(rest, rules);
    const std::vector<std::uint8_t> packed = sonvert::compressSamples(rest, rules);
    (void)sonvert::decompressSamples(packed, rules);
    return 0;
}
