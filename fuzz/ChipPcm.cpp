// A chip PCM file of either form: the header read, the data taken out and,
// when compressed, decoded with the rules of its form.
#include "components/sonvert/Compression.h"
#include "components/sonvert/PcmFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    (void)sonvert::peekPcmHeader(file);
    const auto pcm = sonvert::parsePcmFile(file);
    if (!pcm || !pcm->header.compressed())
        return 0;
    const auto rules = pcm->header.form == sonvert::PcmForm::Marked ? sonvert::CodecRules::Newer
                                                                    : sonvert::CodecRules::Older;
    (void)sonvert::decompressSamples(pcm->data, rules);
    return 0;
}
