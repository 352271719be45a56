#pragma once

// The rules of single-file sound conversion and of preview that need no
// window: output names, captions, the numbers read from the options boxes,
// the error text the user sees, and the converter called with Qt paths.
// Qt Core only.

#include "components/common/ComponentError.h"

#include <QString>

class cSonvert;

// Numbers of our own failures, as the run-time errors they are; shown like
// the converter's own codes.
inline constexpr int kConvertErrOverflow = 6;
inline constexpr int kConvertErrFileAccess = 75;
inline constexpr int kConvertErrBadSound = 202; // an object error: base plus 202
inline constexpr int kConvertErrBadSource = 1003; // the converter's "invalid or not supported"
inline constexpr int kConvertErrCancelled = 1005; // the converter's cancel: never shown

// The output proposed for a converted file: the source with the extension of
// its file name (never a dot in a folder's name) replaced by `extension`
// (".pcm", ".wav"); a name without a dot gets it appended.
[[nodiscard]] QString DefaultConvertOutput(const QString &source, const QString &extension);

// True when the source's extension, in any case, is "mp3".
[[nodiscard]] bool IsMp3Source(const QString &source);
// The progress caption and the title of the success message of a wave or
// MP3 conversion.
[[nodiscard]] QString ConvertingCaption(const QString &source);
[[nodiscard]] QString ConvertTitle(const QString &source);
// "Converting <path>."
[[nodiscard]] QString ConvertingMessage(const QString &source);
// The success messages of the two commands, given the output's file name.
[[nodiscard]] QString ConvertedPcmMessage(const QString &outputName);
[[nodiscard]] QString ConvertedWaveMessage(const QString &outputName);

// A tag or noise gate box read as a signed number of `bits` (16 or 32). A
// blank box reads as 0, as the tag's tip promises; a number too large for
// the width throws the overflow error.
[[nodiscard]] qint32 ReadOptionNumber(const QString &digits, int bits);

// "Error <code>: <description>", the code without the object-error base.
[[nodiscard]] QString ConversionErrorText(const vx::ComponentError &e);
// The same for a failure while converting or playing the user's file
// `source`; a sound file that cannot be taken (202 or 1003) is named:
// "<source> is not a supported sound format." when it is well formed,
// "Invalid or corrupt sound file <source>" otherwise. A sound too long for a
// chip PCM file, or one compressed already, keeps the converter's reason.
[[nodiscard]] QString SoundFailureText(const vx::ComponentError &e, const QString &source);
// True for the converter's cancel, which ends a command silently.
[[nodiscard]] bool IsCancel(const vx::ComponentError &e);

// Copies the converter's output to the place the user chose, replacing a
// file there only once the copy is complete. Throws the file-access error
// with the system's reason when it cannot.
void CopyConvertedFile(const QString &from, const QString &to);

// The converter's members with Qt paths. Each returns the path written and
// throws vx::ComponentError; a file it cannot write comes out as the
// file-access error.
[[nodiscard]] QString SonvertToPcm(cSonvert &c, const QString &source, qint32 tag, qint16 noiseGate, bool boost,
                                   bool sv20, bool compress);
[[nodiscard]] QString SonvertCompress(cSonvert &c, const QString &source, bool sv20);
[[nodiscard]] QString SonvertToWav(cSonvert &c, const QString &source);
