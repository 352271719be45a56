#pragma once

#include <cstdint>
#include <string>

namespace sonvert {

// The converter's numbered errors (thrown as vx::ComponentError with the
// object-error base added: 0x800403E8 to 0x800403ED).
enum ErrorConstants : int {
    emrTagOutOfBounds = 1000,
    emrTargetPathInvalid = 1001,
    emrSrcFileNotFound = 1002,
    emrSrcFileInvalid = 1003,
    emrDecoderMissing = 1004,
    emrUserCanceled = 1005,
};

inline constexpr int kFirstError = emrTagOutOfBounds;
inline constexpr int kLastError = emrUserCanceled;

// The public method an error is raised from; it names the error's source
// and picks the wording of 1003.
enum class Method { ConvertToPcm, CompressPcmFile, ConvertToWav };

// "SonvertLib." and the method's name.
[[nodiscard]] std::string errorSource(Method method);

// The error's text as raised from `method`; empty for a number that is not
// one of the converter's.
[[nodiscard]] std::string errorDescription(int code, Method method);

// Throws vx::ComponentError with the code, source and text above.
[[noreturn]] void raiseError(ErrorConstants code, Method method);

// 1003 for a sound whose converted data would pass the 24-bit length field
// of a chip PCM file: the text says so and gives the longest sound that fits
// at the output rate (longestSamples of them), in minutes and seconds, so the
// user knows how far to cut it. Compressed data takes a length that depends
// on the sound: the longest then given is the one sure to fit.
[[nodiscard]] std::string tooLongDescription(std::int32_t outputRate, std::uint64_t longestSamples,
                                             bool compressed = false);
[[noreturn]] void raiseTooLong(std::int32_t outputRate, std::uint64_t longestSamples, Method method,
                               bool compressed = false);
// 1003 from CompressPcmFile for a source whose header says it is compressed
// already: compressing it again would make noise of it.
[[noreturn]] void raiseAlreadyCompressed(Method method);

// True for a text made by tooLongDescription or raiseAlreadyCompressed: a
// reason the program shows as it is, where other 1003 texts become its own
// "invalid or corrupt" wording.
[[nodiscard]] bool isReasonDescription(const std::string &text);

// A file the method cannot create or write is no numbered error: it fails
// as a file statement does, with run-time error 75 and a text that names the
// file and the system's cause once: "<what> '<path>': <cause>".
inline constexpr int kErrFileAccess = 75;
[[noreturn]] void raiseFileError(const std::string &what, const std::string &path, const std::string &cause,
                                 Method method);

} // namespace sonvert
