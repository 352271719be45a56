#include "components/sonvert/cSonvert.h"

#include "common/SafeFile.h"

#include "components/sonvert/Compression.h"
#include "components/sonvert/DecoderProcess.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/Rounding.h"

#include <csignal>
#include <dlfcn.h>
#include <sys/wait.h>
#include <system_error>

using sonvert::Method;

namespace {

int percentOf(std::size_t done, std::size_t total)
{
    if (total == 0)
        return 100;
    return static_cast<int>(sonvert::roundHalfEvenToLong(static_cast<double>(done) * 100.0
                                                         / static_cast<double>(total)));
}

} // namespace

cSonvert::cSonvert() : mDecoderPath(ComponentFolder() / "auridec")
{
    // What the converters of killed programs left goes when a program starts
    // its converter.
    sonvert::sweepLeftovers();
}

cSonvert::~cSonvert()
{
    ResetWork();
}

void cSonvert::setTargetPath(const std::string &TargetPath)
{
    mTargetPath = TargetPath;
}

const std::string &cSonvert::TargetPath() const
{
    return mTargetPath;
}

void cSonvert::setPercentDone(PercentDoneHandler handler)
{
    mPercentDone = std::move(handler);
}

void cSonvert::setYield(YieldHandler handler)
{
    mYield = std::move(handler);
}

void cSonvert::setDecoderPath(const std::filesystem::path &path)
{
    mDecoderPath = path;
}

const std::filesystem::path &cSonvert::DecoderPath() const
{
    return mDecoderPath;
}

void cSonvert::setProgressClock(sonvert::ProgressThrottle::Now now)
{
    mProgress.setClock(std::move(now));
}

std::filesystem::path cSonvert::ComponentFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&cSonvert::ComponentFolder), &info) != 0 && info.dli_fname) {
        std::error_code ec;
        const auto path = std::filesystem::canonical(info.dli_fname, ec);
        if (!ec)
            return path.parent_path();
    }
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path(".") : self.parent_path();
}

void cSonvert::ResetWork()
{
    mBytes.clear();
    mBytes.shrink_to_fit();
    mSamples.clear();
    mSamples.shrink_to_fit();
    mWave.discard();
    if (mDecoderPid > 0) {
        ::kill(mDecoderPid, SIGKILL);
        int status = 0;
        ::waitpid(mDecoderPid, &status, 0);
        mDecoderPid = -1;
    }
    if (!mTempFile.empty()) {
        std::error_code ec;
        std::filesystem::remove(mTempFile, ec);
        // A decoder killed while writing leaves its temporary file too.
        vx::removeDeadLeftovers(mTempFile);
        // The name is free again: a later clean-up must not delete a file
        // that someone else has since created under it.
        mTempFile.clear();
    }
}

std::string cSonvert::GetFileBaseName(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto point = name.find_last_of('.');
    return point == std::string::npos ? name : name.substr(0, point);
}

std::string cSonvert::GetFileFolder(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool cSonvert::ReportProgress(int Percent)
{
    if (mProgress.due()) {
        if (mPercentDone)
            mPercentDone(Percent, mCancel);
        YieldOnce();
        mProgress.fired();
    }
    return mCancel;
}

void cSonvert::YieldOnce()
{
    if (mYield)
        mYield();
}

void cSonvert::Fail(sonvert::ErrorConstants code, Method method)
{
    ResetWork();
    sonvert::raiseError(code, method);
}

std::string cSonvert::CheckSourceAndTarget(const std::string &SourceFile, const char *extension,
                                           Method method)
{
    std::error_code ec;
    if (SourceFile.empty() || !std::filesystem::is_regular_file(SourceFile, ec))
        Fail(sonvert::emrSrcFileNotFound, method);
    if (!mTargetPath.empty() && !std::filesystem::is_directory(mTargetPath, ec))
        Fail(sonvert::emrTargetPathInvalid, method);
    // The target folder is a prefix used as it is, as the program gives it
    // (with its trailing "/").
    const std::string folder = mTargetPath.empty() ? GetFileFolder(SourceFile) : mTargetPath;
    return folder + GetFileBaseName(SourceFile) + extension;
}

void cSonvert::WritePcmOutput(const std::string &path, sonvert::PcmForm pcmForm, std::uint8_t codeByte,
                              std::uint16_t tag, Method method)
{
    // A wrapped length or a rate code cut to fit would make a corrupt file
    // that every reader rejects.
    if (mBytes.size() > sonvert::kMaxPcmDataLength || !sonvert::rateCodeFits(pcmForm, codeByte & 0x7F))
        Fail(sonvert::emrSrcFileInvalid, method);
    std::string reason;
    if (!sonvert::savePcmFile(path, pcmForm, codeByte, tag, mBytes, &reason)) {
        ResetWork();
        sonvert::raiseFileError("Cannot write", path, reason, method);
    }
}

void cSonvert::PutByte(int value)
{
    if (value == -999)
        return; // the writer flushes when the file is completed
    if (value < 0)
        value += 256;
    mWave.putByte(static_cast<std::uint8_t>(value));
}

sonvert::PcmHeader cSonvert::LoadPcmSource(const std::string &SourceFile, sonvert::Method method)
{
    auto source = sonvert::loadPcmFile(SourceFile);
    if (!source)
        Fail(sonvert::emrSrcFileInvalid, method);
    mBytes = std::move(source->data);
    return source->header;
}

void cSonvert::CompressWork(bool SV20, Method method)
{
    const auto rules = SV20 ? sonvert::CodecRules::Newer : sonvert::CodecRules::Older;
    // Each pass is announced, then the host gets a turn and may cancel.
    const auto pass = [&](int percent, auto &&work) {
        ReportProgress(percent);
        work();
        YieldOnce();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);
    };
    pass(25, [&] { sonvert::encodeSteps(mBytes, rules); });
    pass(63, [&] { mBytes = sonvert::collapseRuns(mBytes, rules); });
    pass(100, [&] { mBytes = sonvert::packCodes(mBytes); });
    if (SV20)
        sonvert::appendEndMark(mBytes);
}

std::string cSonvert::CompressPcmFile(const std::string &SourceFile, bool SV20)
{
    constexpr Method method = Method::CompressPcmFile;
    mCancel = false;
    const std::string output = CheckSourceAndTarget(SourceFile, ".pcm", method);
    try {
        const sonvert::PcmHeader header = LoadPcmSource(SourceFile, method);
        if (header.compressed())
            sonvert::raiseAlreadyCompressed(method);

        // The newer rules keep the last byte as the end mark and the older
        // ones encode every byte: give the data the shape the chosen rules
        // expect, so a real last sample is never left raw and an end mark is
        // never encoded as a sample.
        if (SV20 && header.form == sonvert::PcmForm::Plain)
            mBytes.push_back(sonvert::kEndMark);
        else if (!SV20 && header.form == sonvert::PcmForm::Marked && !mBytes.empty())
            mBytes.pop_back();
        CompressWork(SV20, method);
        const auto form = SV20 ? sonvert::PcmForm::Marked : sonvert::PcmForm::Plain;
        const auto codeByte = static_cast<std::uint8_t>(header.rateCode() | sonvert::kCompressedBit);
        // The tag travels only from a marked source into a marked file.
        const std::uint16_t tag = SV20 ? header.tag : 0;
        WritePcmOutput(output, form, codeByte, tag, method);
    } catch (...) {
        ResetWork();
        throw;
    }
    ResetWork();
    return output;
}

std::string cSonvert::ConvertToWav(const std::string &SourceFile)
{
    constexpr Method method = Method::ConvertToWav;
    mCancel = false;
    const std::string output = CheckSourceAndTarget(SourceFile, ".wav", method);
    try {
        const sonvert::PcmHeader header = LoadPcmSource(SourceFile, method);
        // The end mark of the marked form is not sound.
        if (header.form == sonvert::PcmForm::Marked && !mBytes.empty())
            mBytes.pop_back();

        YieldOnce();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);
        if (!mWave.open(output, sonvert::waveRateFromCode(header.rateCode()))) {
            const std::string reason = mWave.errorString();
            ResetWork();
            sonvert::raiseFileError("Cannot create", output, reason, method);
        }

        const std::size_t length = mBytes.size();
        // The clock is read once every 1024 bytes; the event still fires at
        // most every 0.2 s and reports the position it fired at.
        const auto progress = [&](std::size_t i) {
            return (i % 1024 == 0 || i + 1 == length) && ReportProgress(percentOf(i, length));
        };
        if (!header.compressed()) {
            for (std::size_t i = 0; i < length; ++i) {
                PutByte((mBytes[i] + 128) % 256);
                if (progress(i))
                    break;
            }
        } else {
            const auto rules = header.form == sonvert::PcmForm::Marked ? sonvert::CodecRules::Newer
                                                                       : sonvert::CodecRules::Older;
            sonvert::decodeSteps(mBytes, rules, [&](int predictor) { PutByte(predictor + 128); }, progress);
        }
        PutByte(-999);
        YieldOnce();
        if (mCancel)
            Fail(sonvert::emrUserCanceled, method);
        ReportProgress(100);

        if (!mWave.commit()) {
            const std::string reason = mWave.errorString();
            ResetWork();
            sonvert::raiseFileError("Cannot write", output, reason, method);
        }
    } catch (...) {
        ResetWork();
        throw;
    }
    ResetWork();
    return output;
}
