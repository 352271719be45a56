#include "components/sonvert/Errors.h"

#include "components/common/ComponentError.h"

#include <array>
#include <string_view>

namespace sonvert {

namespace {

struct ErrorEntry
{
    int code;
    const char *text;
};

// One table for every numbered error; 1003 has a second wording for the
// methods that read chip PCM files.
constexpr std::array<ErrorEntry, 6> kErrors{{
    {emrTagOutOfBounds, "Tag value must be between 0 and 65534."},
    {emrTargetPathInvalid, "Directory specified by TargetPath does not exist."},
    {emrSrcFileNotFound, "Source file not found."},
    {emrSrcFileInvalid, "Sound file format invalid or not supported."},
    {emrDecoderMissing, "MP3 decoder component missing. Reinstall the application."},
    {emrUserCanceled, "Process terminated by user."},
}};

constexpr const char *kInvalidPcm = "Invalid or corrupt pcm file.";
constexpr std::string_view kTooLong = "Sound too long for a chip PCM file;";
constexpr std::string_view kAlreadyCompressed = "The PCM file is compressed already; it cannot be compressed again.";

} // namespace

std::string errorSource(Method method)
{
    switch (method) {
    case Method::ConvertToPcm:
        return "SonvertLib.ConvertToPcm";
    case Method::CompressPcmFile:
        return "SonvertLib.CompressPcmFile";
    case Method::ConvertToWav:
        return "SonvertLib.ConvertToWav";
    }
    return "SonvertLib";
}

std::string errorDescription(int code, Method method)
{
    if (code == emrSrcFileInvalid && method != Method::ConvertToPcm)
        return kInvalidPcm;
    for (const auto &entry : kErrors)
        if (entry.code == code)
            return entry.text;
    return {};
}

void raiseError(ErrorConstants code, Method method)
{
    throw vx::ComponentError(code, errorSource(method), errorDescription(code, method));
}

std::string tooLongDescription(std::int32_t outputRate, std::uint64_t longestSamples, bool compressed)
{
    const std::uint64_t seconds = outputRate > 0 ? longestSamples / static_cast<std::uint64_t>(outputRate) : 0;
    return std::string(kTooLong) + (compressed ? " compressed," : "") + " at " + std::to_string(outputRate) +
           " Hz the longest " + (compressed ? "sure to fit " : "") + "is " + std::to_string(seconds / 60) + " min " +
           std::to_string(seconds % 60) + " s.";
}

void raiseTooLong(std::int32_t outputRate, std::uint64_t longestSamples, Method method, bool compressed)
{
    throw vx::ComponentError(emrSrcFileInvalid, errorSource(method),
                             tooLongDescription(outputRate, longestSamples, compressed));
}

void raiseAlreadyCompressed(Method method)
{
    throw vx::ComponentError(emrSrcFileInvalid, errorSource(method), std::string(kAlreadyCompressed));
}

bool isReasonDescription(const std::string &text)
{
    return text.starts_with(kTooLong) || text == kAlreadyCompressed;
}

void raiseFileError(const std::string &what, const std::string &path, const std::string &cause, Method method)
{
    throw vx::ComponentError(vx::ComponentError::RunTimeError, kErrFileAccess, errorSource(method),
                             vx::fileErrorText(what, path, cause));
}

} // namespace sonvert
