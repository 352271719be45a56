// cSonvert::ConvertToPcm and its sample pipeline: wave and MP3 files to chip
// PCM files.

#include "components/sonvert/cSonvert.h"

#include "components/sonvert/Compression.h"
#include "components/sonvert/DecoderProcess.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/SignalPath.h"
#include "components/sonvert/WaveReader.h"

#include "common/SafeFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <chrono>
#include <system_error>
#include <thread>

#include <sys/mman.h>
#include <unistd.h>

using sonvert::Method;

namespace {

// The smallest file the decoder can have written that holds a sample.
constexpr std::uintmax_t kMinimumDecodedSize = 45;

// How often the decoder is looked at while the host's loop is kept alive.
constexpr std::chrono::milliseconds kDecoderPollInterval{10};

// Bytes of plain output gathered before they go to the file.
constexpr std::size_t kOutputBlock = 64 * 1024;

// An anonymous file in memory, closed with its holder.
struct MemoryFile
{
    MemoryFile() = default;
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;
    ~MemoryFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    const int fd = ::memfd_create("decoder-messages", MFD_CLOEXEC);
};

// Output to be compressed is held in memory before it is compressed. Past
// four times what the length field holds, it would have to compress to a
// quarter of a byte a sample, half what a sound without silence takes: such
// a sound is refused unread, so memory stays bounded.
constexpr std::uint64_t kMaxCompressedSource = 4 * std::uint64_t{sonvert::kMaxPcmDataLength};

// The data bytes of `samples` output samples before compression: the newer
// form ends them with its end mark, after a pad byte that keeps them even.
std::uint64_t storedLength(std::uint64_t samples, bool sv20)
{
    return sv20 ? samples + (samples % 2 == 0 ? 2 : 1) : samples;
}

// The most data bytes the compressed file can take for that many samples:
// compression at its worst, and the newer form's end mark behind it.
std::uint64_t worstCompressedLength(std::uint64_t samples, bool sv20)
{
    return sonvert::maxCompressedSize(static_cast<std::size_t>(storedLength(samples, sv20))) + (sv20 ? 2 : 0);
}

// The longest sound, in samples, that fits the length field compressed,
// whatever it sounds like.
std::uint64_t longestCompressed(bool sv20)
{
    std::uint64_t samples = 2 * std::uint64_t{sonvert::kMaxPcmDataLength};
    while (worstCompressedLength(samples, sv20) > sonvert::kMaxPcmDataLength)
        --samples;
    return samples;
}

bool hasMp3Extension(const std::string &path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".mp3";
}

} // namespace

std::string cSonvert::ConvertToPcm(const std::string &SourceFile, std::int32_t Tag, int NoiseGate,
                                   bool Boost, bool SV20, bool Compress)
{
    constexpr Method method = Method::ConvertToPcm;
    mCancel = false;
    mNoiseGate = NoiseGate;
    mTempFile.clear();

    const std::string output = CheckSourceAndTarget(SourceFile, ".pcm", method);
    if (Tag < 0 || Tag > sonvert::kMaxTag)
        Fail(sonvert::emrTagOutOfBounds, method);

    const auto form = SV20 ? sonvert::PcmForm::Marked : sonvert::PcmForm::Plain;
    try {
        std::string source = SourceFile;
        if (hasMp3Extension(SourceFile)) {
            const std::string decoded = DecodeMp3(SourceFile);
            if (mCancel)
                Fail(sonvert::emrUserCanceled, method);
            if (decoded == "1")
                Fail(sonvert::emrDecoderMissing, method);
            if (decoded == "2")
                Fail(sonvert::emrSrcFileInvalid, method);
            source = decoded; // the output keeps the MP3's name
        }

        if (!IsSupportedWave(source))
            Fail(sonvert::emrSrcFileInvalid, method);
        mDecimation = sonvert::decimationFactor(mSampleRate);
        mOutputRate = sonvert::outputRate(mSampleRate, mDecimation);
        // A rate the header cannot carry would make a file no chip reads.
        const int rateCode = sonvert::rateCodeFromRate(mOutputRate);
        if (!sonvert::rateCodeFits(form, rateCode))
            Fail(sonvert::emrSrcFileInvalid, method);

        sonvert::FileByteSource file(source);
        const auto format = file.isOpen() ? sonvert::readWaveFormat(file) : std::nullopt;
        if (!format)
            Fail(sonvert::emrSrcFileInvalid, method);
        // A sound longer than the header's 24-bit length can carry is
        // refused before its samples are read; compressed, it is measured
        // once compressed, as its length depends on the sound.
        sonvert::WaveSampleStream stream(file, *format);
        const std::uint64_t frames = stream.valueCount() / static_cast<std::uint64_t>(mChannels);
        sonvert::Decimator decimator(mDecimation, mNoiseGate, frames);
        const std::uint64_t picked = decimator.outputCount();
        const std::uint64_t stored = storedLength(picked, SV20);
        if (!Compress && stored > sonvert::kMaxPcmDataLength)
            sonvert::raiseTooLong(mOutputRate, sonvert::kMaxPcmDataLength - (stored - picked), method);
        const auto tooLongCompressed = [&] {
            sonvert::raiseTooLong(mOutputRate, longestCompressed(SV20), method, true);
        };
        if (Compress && stored > kMaxCompressedSource)
            tooLongCompressed();
        mSampleCount = static_cast<std::int32_t>(stream.valueCount());

        // The sound is read a block at a time, so memory stays the same for
        // any length: with the boost twice, once to measure its level and
        // once to convert it; without, the level is not needed.
        const std::size_t blockValues = sonvert::kProgressStride * static_cast<std::size_t>(mChannels);
        const double total = static_cast<double>(stream.valueCount()) * (Boost ? 2.0 : 1.0);
        double done = 0;
        const auto step = [&](std::size_t values) {
            done += static_cast<double>(values);
            if (ReportProgress(static_cast<int>(std::llrint(done / total * 100.0))))
                Fail(sonvert::emrUserCanceled, method);
        };
        if (Boost) {
            sonvert::SampleHistogram histogram;
            for (;;) {
                if (!stream.next(blockValues, mSamples))
                    Fail(sonvert::emrSrcFileInvalid, method);
                if (mSamples.empty())
                    break;
                histogram.add(mSamples.data(), mSamples.size());
                step(mSamples.size());
            }
            const sonvert::SampleStats stats = histogram.stats();
            mMean = stats.mean;
            mMeanDeviation = stats.deviation;
            mDeviationCount = stats.deviationCount;
        }
        YieldOnce();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);

        // Plain output streams into its file; output to be compressed stays
        // in memory (at most kMaxCompressedSource), so the old file is
        // replaced only by the finished, compressed one.
        vx::OutputFile out;
        const std::uint16_t tag = SV20 ? static_cast<std::uint16_t>(Tag) : 0;
        const auto writeOut = [&] {
            if (!out.write(mBytes.data(), mBytes.size())) {
                const std::string reason = out.errorString();
                ResetWork();
                sonvert::raiseFileError("Cannot write", output, reason, method);
            }
            mBytes.clear();
        };
        if (!Compress) {
            sonvert::PcmHeader header;
            header.form = form;
            header.codeByte = static_cast<std::uint8_t>(rateCode);
            header.tag = tag;
            header.dataLength = static_cast<std::uint32_t>(stored);
            mBytes = sonvert::encodePcmHeader(header);
            if (!out.create(output)) {
                const std::string reason = out.errorString();
                ResetWork();
                sonvert::raiseFileError("Cannot create", output, reason, method);
            }
            writeOut();
        } else {
            mBytes.reserve(static_cast<std::size_t>(stored));
        }

        const sonvert::LevelBooster booster(
            Boost ? sonvert::SampleStats{mMean, mMeanDeviation, mDeviationCount} : sonvert::SampleStats{});
        const int filterSet = sonvert::filterSetForRate(mSampleRate);
        sonvert::AntiAliasFilter filter;
        filter.FilterSample(0, filterSet);
        stream.rewind();
        for (;;) {
            if (!stream.next(blockValues, mSamples))
                Fail(sonvert::emrSrcFileInvalid, method);
            if (mSamples.empty())
                break;
            const std::size_t values = mSamples.size();
            for (std::int16_t &v : mSamples)
                v = static_cast<std::int16_t>(std::clamp<int>(v, -sonvert::kClipLevel, sonvert::kClipLevel));
            if (mChannels == 2)
                sonvert::mixStereoToMono(mSamples);
            booster.apply(mSamples.data(), mSamples.size());
            if (filterSet != 0)
                filter.filterBlock(mSamples.data(), mSamples.size());
            decimator.add(mSamples.data(), mSamples.size(), mBytes);
            if (!Compress && mBytes.size() >= kOutputBlock)
                writeOut();
            step(values);
        }
        if (SV20)
            sonvert::appendEndMark(mBytes);
        if (!Compress) {
            writeOut();
            if (!out.commit()) {
                const std::string reason = out.errorString();
                ResetWork();
                sonvert::raiseFileError("Cannot write", output, reason, method);
            }
        } else {
            // Cancelled or failed here, the compression reports as its own
            // method, as when it ran on the written file.
            CompressWork(SV20, Method::CompressPcmFile);
            if (mBytes.size() > sonvert::kMaxPcmDataLength)
                tooLongCompressed();
            WritePcmOutput(output, form, static_cast<std::uint8_t>(rateCode | sonvert::kCompressedBit), tag,
                           Method::CompressPcmFile);
        }
    } catch (...) {
        ResetWork();
        throw;
    }
    ResetWork();
    return output;
}

bool cSonvert::IsSupportedWave(const std::string &path)
{
    sonvert::FileByteSource file(path);
    if (!file.isOpen())
        return false;
    const auto format = sonvert::readWaveFormat(file);
    if (!format || !sonvert::isSupportedWave(*format))
        return false;
    mFormatTag = format->formatTag;
    mChannels = format->channels;
    mSampleRate = format->sampleRate;
    mBitsPerSample = format->bitsPerSample;
    return true;
}

std::string cSonvert::DecodeMp3(const std::string &SourceFile)
{
    // A private, uniquely named file: converters running side by side never
    // share it, and ResetWork removes it on every way out.
    std::string cause;
    mTempFile = sonvert::createTempFile(".wav", &cause);
    if (mTempFile.empty()) {
        ResetWork();
        sonvert::raiseFileError("Cannot create a temporary file in", sonvert::userTempFolderName(), cause,
                                Method::ConvertToPcm);
    }
    // The decoder's messages are kept in memory, where a full disk cannot
    // lose them: one that could not write its output says why.
    const MemoryFile said;
    if (!StartProcess({mDecoderPath.string(), "--decode", SourceFile, mTempFile.string()}, said.fd))
        return "1";
    const sonvert::ProcessState end = WaitForProcess();
    if (end == sonvert::ProcessState::CannotWrite) {
        const std::string reason = sonvert::lastReason(said.fd);
        const std::string path = mTempFile.string();
        ResetWork();
        sonvert::raiseFileError("Cannot write the temporary file", path,
                                reason.empty() ? "the decoder could not write it" : reason, Method::ConvertToPcm);
    }
    if (end != sonvert::ProcessState::Succeeded)
        return "2";
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(mTempFile, ec);
    if (ec || size < kMinimumDecodedSize)
        return "2";
    return mTempFile.string();
}

bool cSonvert::StartProcess(const std::vector<std::string> &arguments, int errors)
{
    mDecoderPid = sonvert::spawnHidden(arguments, errors);
    return mDecoderPid > 0;
}

sonvert::ProcessState cSonvert::WaitForProcess()
{
    for (;;) {
        const sonvert::ProcessState state = sonvert::pollProcess(mDecoderPid);
        if (state != sonvert::ProcessState::Running) {
            mDecoderPid = -1;
            return state;
        }
        // Keep the host's windows alive, and its Cancel button working.
        if (ReportProgress(0)) {
            sonvert::killProcess(mDecoderPid);
            mDecoderPid = -1;
            return sonvert::ProcessState::Failed;
        }
        YieldOnce();
        std::this_thread::sleep_for(kDecoderPollInterval);
    }
}
