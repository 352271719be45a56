#pragma once

// The compiled sound library (".sfx"): a chip command stream that makes the
// chip store every sound of a library in its recording memory.
//
//   0   0D 0D 18 1E, the command character, "100w" (older chip) or "223w"
//   9   data length (32-bit): bytes from offset 29 to the end of the pad byte
//   13  16 zero bytes
//   29  EC DB, then the entry count (older) or FF FF (newer)
//   33  the entries back to back: 24-bit length, code byte, [tag (newer)], data
//       one 00 when the bytes from offset 29 are odd in number
//       16-bit sum of every byte from offset 9 to the pad byte
//
// The byte builders are pure; CompileSoundLibraryFile drives a whole compile
// from a library's records. Qt Core only; no window is shown.

#include "app/soundlib/SoundEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

inline constexpr qsizetype kSfxHeaderSize = 33;
inline constexpr qsizetype kSfxLengthOffset = 9;
inline constexpr qsizetype kSfxBlockOffset = 29;

// The 33 header bytes; the data length stays 0 until the file is finalised.
[[nodiscard]] QByteArray BuildSfxHeader(bool olderFlavour, int entryCount, char cmdChar = '\x01');

// The output name proposed for a library document: its name with the
// extension of the file name (not of a folder) replaced by ".sfx".
[[nodiscard]] QString DefaultSfxPath(const QString &documentName);

// Why a chip PCM file cannot become an entry.
enum class SfxEntryError { None, NotPcm, MarkedInOlder, TagOutOfRange };

// The entry for one sound from its whole chip PCM file: in the older flavour
// the plain-form file unchanged; in the newer flavour length, code byte, the
// row's tag (which replaces any tag in the file) and the data. Returns
// nothing when the bytes are no chip PCM file, when a marked file is meant
// for the older chip, or when the tag does not fit 16 bits.
[[nodiscard]] std::optional<QByteArray> BuildSfxEntry(QByteArrayView pcmFile, bool olderFlavour, qint32 tag,
                                                      SfxEntryError *why = nullptr);

// Completes a library whose header and entries are in `file`: appends the pad
// byte when needed, writes the data length and appends the check sum.
void FinalizeSoundLibraryFile(QByteArray &file);

// The refusal of a library in which two sounds share a tag: nothing was
// compiled, and which two sounds and which tag (names as shown).
[[nodiscard]] QString CompileDuplicateTagMessage(const QString &library, const QString &first,
                                                 const QString &second, qint32 tag);

// What the compile needs of the sound converter. The program's adapter runs
// cSonvert; each call returns the path of the chip PCM file it wrote into the
// temporary folder and throws vx::ComponentError (1005 when cancelled). A
// sound to be compressed is compressed in its conversion, so its length is
// judged compressed, as Convert Sound File judges it.
class SoundConversion
{
public:
    using PercentDone = std::function<void(int percent, bool &cancel)>;
    virtual ~SoundConversion() = default;
    virtual void setPercentDone(PercentDone handler) = 0;
    virtual QString ConvertSoundToPcm(const QString &source, qint32 tag, qint16 noiseGate, bool boost, bool sv20,
                                      bool compress) = 0;
    virtual QString CompressPcm(const QString &source, bool sv20) = 0;
};

// The sound converter component writing into `tempFolder`.
[[nodiscard]] std::unique_ptr<SoundConversion> MakeSonvertConversion(const QString &tempFolder);

enum class CompileStage { Verifying, Converting, Writing };
struct CompileProgress
{
    CompileStage stage = CompileStage::Verifying;
    int row = 0;           // from 1
    int rowCount = 0;
    qint64 librarySize = 0; // bytes of the output so far
    int filePercent = 0;   // the current sound's conversion
};
// Called at every step; setting cancel ends the compile after the current
// sound (or at the converter's next report).
using CompileProgressFn = std::function<void(const CompileProgress &, bool &cancel)>;

struct SoundLibCompile
{
    QList<SoundEntry> entries; // in list order
    QString outputPath;
    bool olderFlavour = false; // data files for the older chip
    char cmdChar = '\x01';
};

enum class CompileOutcome {
    Succeeded,
    Cancelled,   // by the user: nothing to report
    MissingFile, // a sound file is gone; message is the compile window's line
    Unsupported, // a marked chip PCM file in an older-chip library; message is the box text
    DuplicateTag, // two rows of one tag in a newer-chip library; message is the box text
    Failed,      // message is "Error n: description (file name)"
};
struct CompileResult
{
    CompileOutcome outcome = CompileOutcome::Failed;
    int row = 0; // the row concerned, from 1; 0 when none
    QString message;
    qint64 fileSize = 0; // of the output, on success
};

// Compiles the records into `outputPath`. An existing file of that name is
// deleted first, and the new file appears only when complete, so a compile
// that fails or is cancelled leaves no file there at all; a library that is
// refused before it starts (two rows of one tag, an output that is one of
// its sounds) leaves the old file as it was. The converter's
// temporary files are removed after each sound.
[[nodiscard]] CompileResult CompileSoundLibraryFile(const SoundLibCompile &job, SoundConversion &converter,
                                                    const CompileProgressFn &progress);
