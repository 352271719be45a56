#include "components/sonvert/WavFile.h"

#include "common/Bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace sonvert {

using vx::putLe;
using vx::putLe16;
using vx::readLe;
using vx::putLe24;
using vx::putLe32;
using vx::readLe16;
using vx::readLe24;
using vx::readLe32;

std::array<std::uint8_t, kWaveHeaderSize> makeWaveHeader(std::uint32_t sampleRate, std::uint32_t dataBytes)
{
    std::array<std::uint8_t, kWaveHeaderSize> h{};
    std::memcpy(h.data(), "RIFF", 4);
    putLe32(h.data() + 4, dataBytes + 36);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    putLe32(h.data() + 16, 16);
    putLe16(h.data() + 20, 1);
    putLe16(h.data() + 22, 1);
    putLe32(h.data() + 24, sampleRate);
    putLe32(h.data() + 28, sampleRate);
    putLe16(h.data() + 32, 1);
    putLe16(h.data() + 34, 8);
    std::memcpy(h.data() + 36, "data", 4);
    putLe32(h.data() + 40, dataBytes);
    return h;
}

std::vector<std::uint8_t> buildWaveFile(std::uint32_t sampleRate, std::span<const std::uint8_t> samples)
{
    const auto header = makeWaveHeader(sampleRate, static_cast<std::uint32_t>(samples.size()));
    std::vector<std::uint8_t> out(kWaveHeaderSize + samples.size());
    std::copy(header.begin(), header.end(), out.begin());
    std::copy(samples.begin(), samples.end(), out.begin() + kWaveHeaderSize);
    return out;
}

WaveWriter8::~WaveWriter8()
{
    discard();
}

bool WaveWriter8::fail(const std::string &what)
{
    mFailed = true;
    if (mError.empty())
        mError = what.empty() ? std::string(std::strerror(errno)) : what;
    return false;
}

bool WaveWriter8::open(const std::filesystem::path &target, std::uint32_t sampleRate)
{
    discard();
    mError.clear();
    mFailed = false;
    mSamples = 0;
    if (!mOut.create(target))
        return fail(mOut.errorString());
    // Both size fields stay 0 until the last sample is in.
    auto header = makeWaveHeader(sampleRate, 0);
    putLe32(header.data() + 4, 0);
    if (!mOut.write(header.data(), header.size()))
        return fail(mOut.errorString());
    return true;
}

bool WaveWriter8::flush()
{
    if (mFailed)
        return false;
    if (mFill == 0)
        return true;
    if (!mOut.write(mBuffer.data(), mFill))
        return fail(mOut.errorString());
    mFill = 0;
    return true;
}

bool WaveWriter8::putByte(std::uint8_t sample)
{
    if (!mOut.stream() || mFailed)
        return false;
    mBuffer[mFill++] = sample;
    ++mSamples;
    if (mFill == mBuffer.size())
        return flush();
    return true;
}

bool WaveWriter8::write(std::span<const std::uint8_t> samples)
{
    for (const auto s : samples)
        if (!putByte(s))
            return false;
    return true;
}

bool WaveWriter8::commit()
{
    if (!mOut.stream()) {
        if (mError.empty())
            mError = "no wave file open";
        return false;
    }
    bool ok = flush();
    const std::uint64_t length = kWaveHeaderSize + mSamples;
    if (ok && length > std::numeric_limits<std::uint32_t>::max())
        ok = fail("wave file too long");
    if (ok) {
        std::array<std::uint8_t, 4> field{};
        putLe32(field.data(), static_cast<std::uint32_t>(length - 8));
        ok = mOut.writeAt(4, field.data(), 4);
        putLe32(field.data(), static_cast<std::uint32_t>(length - kWaveHeaderSize));
        ok = ok && mOut.writeAt(40, field.data(), 4);
        if (!ok)
            fail(mOut.errorString());
    }
    if (ok && !mOut.commit())
        ok = fail(mOut.errorString());
    if (!ok)
        mOut.discard();
    mFill = 0;
    return ok;
}

void WaveWriter8::discard()
{
    mOut.discard();
    mFill = 0;
}

} // namespace sonvert
