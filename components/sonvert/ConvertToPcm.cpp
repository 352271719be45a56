// cSonvert::ConvertToPcm and its sample pipeline: wave and MP3 files to chip
// PCM files.

#include "components/sonvert/cSonvert.h"

#include "components/sonvert/DecoderProcess.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/SignalPath.h"
#include "components/sonvert/WaveReader.h"

#include <cctype>
#include <chrono>
#include <system_error>
#include <thread>

using sonvert::Method;

namespace {

// The smallest file the decoder can have written that holds a sample.
constexpr std::uintmax_t kMinimumDecodedSize = 45;

// How often the decoder is looked at while the host's loop is kept alive.
constexpr std::chrono::milliseconds kDecoderPollInterval{10};

[[noreturn]] void throwFileError(const std::string &path, const std::string &reason)
{
    throw std::filesystem::filesystem_error("Cannot create '" + path + "': " + reason, path,
                                            std::make_error_code(std::errc::io_error));
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

        {
            sonvert::FileByteSource file(source);
            const auto format = file.isOpen() ? sonvert::readWaveFormat(file) : std::nullopt;
            if (!format)
                Fail(sonvert::emrSrcFileInvalid, method);
            // A sound longer than the header's 24-bit length can carry is
            // refused before its samples are read into memory.
            const std::uint64_t frames = format->valueCount() / static_cast<std::uint64_t>(mChannels);
            const auto n = static_cast<std::uint64_t>(mDecimation);
            const std::uint64_t picked = frames >= n ? (frames - n) / n + 1 : 0;
            const std::uint64_t stored = SV20 ? picked + (picked % 2 == 0 ? 2 : 1) : picked;
            if (stored > sonvert::kMaxPcmDataLength)
                Fail(sonvert::emrSrcFileInvalid, method);
            if (!sonvert::readWaveSamples(file, *format, mSamples))
                Fail(sonvert::emrSrcFileInvalid, method);
        }
        mSampleCount = static_cast<std::int32_t>(mSamples.size());
        const sonvert::SampleStats stats = sonvert::clipAndMeasure(mSamples);
        mMean = stats.mean;
        mMeanDeviation = stats.deviation;
        mDeviationCount = stats.deviationCount;

        if (mChannels == 2)
            MixStereoToMono();
        YieldOnce();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);
        if (Boost) {
            BoostLevel();
            YieldOnce();
            if (mCancel)
                Fail(sonvert::emrUserCanceled, method);
        }
        ApplyAntiAliasFilter();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);
        std::int32_t count = 0;
        DecimateToBytes(count);
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);

        if (SV20)
            sonvert::appendEndMark(mBytes);
        const std::uint16_t tag = SV20 ? static_cast<std::uint16_t>(Tag) : 0;
        WritePcmOutput(output, form, static_cast<std::uint8_t>(rateCode), tag, method);
    } catch (...) {
        ResetWork();
        throw;
    }
    ResetWork();

    if (Compress)
        return CompressPcmFile(output, SV20);
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

void cSonvert::MixStereoToMono()
{
    sonvert::mixStereoToMono(mSamples);
    mSampleCount = static_cast<std::int32_t>(mSamples.size());
}

void cSonvert::BoostLevel()
{
    sonvert::boostLevel(mSamples, sonvert::SampleStats{mMean, mMeanDeviation, mDeviationCount});
}

void cSonvert::ApplyAntiAliasFilter()
{
    sonvert::applyAntiAliasFilter(mSamples, mSampleRate, [this](int percent) { return ReportProgress(percent); });
}

void cSonvert::DecimateToBytes(std::int32_t &count)
{
    // The output bytes take the place of the 8-bit source data.
    sonvert::decimateToBytes(mSamples, mDecimation, mNoiseGate, mBytes,
                             [this](int percent) { return ReportProgress(percent); });
    count = static_cast<std::int32_t>(mBytes.size());
}

std::string cSonvert::DecodeMp3(const std::string &SourceFile)
{
    // A private, uniquely named file: converters running side by side never
    // share it, and ResetWork removes it on every way out.
    mTempFile = sonvert::createTempFile(".wav");
    if (mTempFile.empty()) {
        ResetWork();
        throwFileError(sonvert::userTempFolder() + "sonvert-*.wav", "cannot create a temporary file");
    }
    if (!StartProcess({mDecoderPath.string(), "--decode", "--silent", SourceFile, mTempFile.string()}))
        return "1";
    if (!WaitForProcess())
        return "2";
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(mTempFile, ec);
    if (ec || size < kMinimumDecodedSize)
        return "2";
    return mTempFile.string();
}

bool cSonvert::StartProcess(const std::vector<std::string> &arguments)
{
    mDecoderPid = sonvert::spawnHidden(arguments);
    return mDecoderPid > 0;
}

bool cSonvert::WaitForProcess()
{
    for (;;) {
        const sonvert::ProcessState state = sonvert::pollProcess(mDecoderPid);
        if (state != sonvert::ProcessState::Running) {
            mDecoderPid = -1;
            return state == sonvert::ProcessState::Succeeded;
        }
        // Keep the host's windows alive, and its Cancel button working.
        if (ReportProgress(0)) {
            sonvert::killProcess(mDecoderPid);
            mDecoderPid = -1;
            return false;
        }
        YieldOnce();
        std::this_thread::sleep_for(kDecoderPollInterval);
    }
}
