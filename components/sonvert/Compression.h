#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sonvert {

// The chips' 4-bit step-code compression. Each sample becomes a code -7..7
// that moves a predictor by code x step (step 1, 2, 4, 8 or 16); five or more
// equal codes in a row become the code, the run marker (-8) and a count of
// further repeats; the codes are then packed two to a byte, high half first,
// with each count as a whole byte after its marker.
//
// Two rule sets: the newer chip's (marked files) and the older chip's
// (plain files).
enum class CodecRules { Newer, Older };

inline constexpr std::int8_t kRunMarker = -8;
inline constexpr std::uint8_t kNoCodes = 0x88; // a packed byte that carries no codes

// Pass 1: replaces each sample (signed 8-bit, two's complement in a byte)
// with its step code. The newer rules leave the last byte (the end mark)
// unchanged. When `track` is given, it receives the predictor after each
// encoded sample, which is what the decoder reproduces.
void encodeSteps(std::vector<std::uint8_t> &samples, CodecRules rules,
                 std::vector<int> *track = nullptr);

// Pass 2: turns runs of equal codes into code, marker, count. Returns the
// compacted element list.
[[nodiscard]] std::vector<std::uint8_t> collapseRuns(std::span<const std::uint8_t> codes, CodecRules rules);

// Pass 3: packs the elements two codes to a byte.
[[nodiscard]] std::vector<std::uint8_t> packCodes(std::span<const std::uint8_t> elements);

// The most bytes compressSamples makes of `count` samples: half a byte a
// sample, as a run never takes more than the codes it stands for, rounded
// up, and a byte for a last sample the newer rules leave raw.
[[nodiscard]] constexpr std::size_t maxCompressedSize(std::size_t count)
{
    return (count + 1) / 2 + 1;
}

// The three passes in a row.
[[nodiscard]] std::vector<std::uint8_t> compressSamples(std::span<const std::uint8_t> samples,
                                                        CodecRules rules,
                                                        std::vector<int> *track = nullptr);

// Decodes packed data into predictor values (-127..127), calling `sink` once
// per sample. Malformed data (a marker without its count) ends the decoding
// at the end of the buffer; nothing is read past it. `progress` is called
// after each input byte (and the count byte a marker takes with it) with the
// index of the last byte used, and returns true to stop.
template <typename Sink, typename Progress>
void decodeSteps(std::span<const std::uint8_t> packed, CodecRules rules, Sink &&sink, Progress &&progress);

// The decoded samples as a vector.
[[nodiscard]] std::vector<int> decompressSamples(std::span<const std::uint8_t> packed, CodecRules rules);

// Predictor arithmetic shared by the encoder and the decoder.
struct StepState
{
    int predictor = 0;
    int step = 1;

    // Applies one decoded code with the given rules and clamps the predictor
    // to -127..127.
    void apply(int code, CodecRules rules);
    void clamp()
    {
        if (predictor > 127)
            predictor = 127;
        else if (predictor < -127)
            predictor = -127;
    }
};

template <typename Sink, typename Progress>
void decodeSteps(std::span<const std::uint8_t> packed, CodecRules rules, Sink &&sink, Progress &&progress)
{
    StepState state;
    int previous = 0;
    const auto emit = [&](int code) {
        state.apply(code, rules);
        previous = code;
        sink(state.predictor);
    };
    const std::size_t length = packed.size();
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = packed[i];
        if (byte != kNoCodes) {
            int high = byte >> 4;
            if (high > 7)
                high -= 16;
            if (high == kRunMarker) {
                if (i + 1 >= length)
                    break; // a marker without its count: nothing more to decode
                const int count = packed[++i];
                for (int k = 0; k < count; ++k)
                    emit(previous);
            } else {
                emit(high);
                int low = byte & 0x0F;
                if (low > 7)
                    low -= 16;
                if (low == kRunMarker) {
                    if (i + 1 >= length)
                        break;
                    const int count = packed[++i];
                    for (int k = 0; k < count; ++k)
                        emit(previous);
                } else {
                    emit(low);
                }
            }
        }
        if (progress(i))
            break;
    }
}

} // namespace sonvert
