// A wave file read as the converter reads it: layout, then every sample,
// whole and block by block.
#include "components/sonvert/WaveReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const sonvert::MemoryByteSource source(std::span<const std::uint8_t>(data, size));
    const auto format = sonvert::readWaveFormat(source);
    if (!format || !sonvert::isSupportedWave(*format))
        return 0;
    std::vector<std::int16_t> samples;
    (void)sonvert::readWaveSamples(source, *format, samples);
    sonvert::WaveSampleStream stream(source, *format);
    std::vector<std::int16_t> block;
    while (stream.next(1000, block) && !block.empty()) {
    }
    return 0;
}
