#pragma once

// The record of one sound in a sound library, the table of those records by
// document slot, and the inspection of sound files on disk. Qt Core only.

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What a sound file is. -1 also marks a record whose file has gone missing.
enum SoundFileKind : qint16 {
    sfkNotSound = -1,
    sfkWave = 0,
    sfkPcm = 1,
    sfkCompressedPcm = 2,
    sfkMp3 = 3,
};

// One sound of a library. Compress, Tag, NoiseGate and Boost are the user's
// settings; the other fields describe the file and are recomputed whenever
// it is inspected again. A default record is all zeros and empty names.
struct SoundEntry
{
    qint16 Channels = 0;
    qint32 SampleRate = 0;
    qint16 BitsPerSample = 0;
    qint32 DataBytes = 0;  // wave: the data chunk; chip PCM: the header's length; MP3: the whole file
    bool Compress = false; // never set for a file that is already compressed chip PCM
    qint16 Kind = 0;       // a SoundFileKind
    QString FileName;      // the name as it is on disk, extension included
    QString Location;      // the folder, ending with its separator
    qint32 Tag = 0;        // 0 none, else 1 to 65534 (65535 only from a chip PCM header)
    qint16 NoiseGate = 0;
    bool Boost = false;
    qint32 BitRate = 0; // MP3 only: bits per second
    qint32 MemUsed = 0; // estimated chip memory in bytes

    [[nodiscard]] QString path() const { return Location + FileName; }
    bool operator==(const SoundEntry &) const = default;
};

// The six cells of a row of a library's list, in column order, and whether
// the row is painted as a missing file.
enum SoundColumn { colFile = 0, colTag, colMemUsed, colComp, colBoost, colLocation, kSoundColumnCount };
struct SoundListItem
{
    std::array<QString, kSoundColumnCount> cells;
    bool missing = false;
    bool operator==(const SoundListItem &) const = default;
};

// A row of a library: its record and what the list shows of it. Row n of a
// window's list is row n of its slot, always, so records, cells and colours
// move together.
struct SoundRow
{
    SoundEntry entry;
    SoundListItem item;
    bool operator==(const SoundRow &) const = default;
};
using SoundRows = QList<SoundRow>;

// The rows of every sound library window, by document slot. The document
// registry grows it whenever it adds a slot; a slot that is handed out again
// starts empty, so a new library never sees an old library's records.
class SoundLibTable
{
public:
    // A library holds at most this many sounds.
    static constexpr int kMaxRows = 5000;

    // Makes room for slots 0 to highestSlot, keeping every slot's rows.
    void growToSlot(int highestSlot);
    [[nodiscard]] int slotCount() const { return static_cast<int>(mSlots.size()); }
    // The rows of a slot, in list order (growing the table when needed).
    [[nodiscard]] SoundRows &operator[](int slot);
    // Row `row` (from 1) of a slot; the row must exist.
    [[nodiscard]] SoundEntry &entry(int row, int slot) { return (*this)[slot][row - 1].entry; }
    // Empties a slot for a window that takes it over.
    void clearSlot(int slot);

private:
    std::vector<SoundRows> mSlots;
};

// Header values of a chip PCM file, as the kind test found them.
struct PcmHeaderInfo
{
    quint32 length = 0;
    quint8 code = 0;
    quint16 tag = 0;
};

// The kind of the file at `path`, decided by its last four characters in lower
// case (".wav", ".pcm", ".mp3") and its header. -1 for any other ending, a
// file that cannot be read or a header that does not match. For a chip PCM
// file `pcm` (when given) receives its header values.
[[nodiscard]] qint16 GetSoundFileKind(const QString &path, PcmHeaderInfo *pcm = nullptr);

// True when the file is a RIFF wave file of format 1 (integer) or 3 (float)
// with a data chunk.
[[nodiscard]] bool IsWaveFile(const QString &path);

// True when the file is well formed but holds a sound the converter cannot
// take: a wave file ("RIFF", "WAVE", a data chunk) of another encoding (the
// extensible form of most 24-bit waves), channel count or sample width.
[[nodiscard]] bool IsUnsupportedSoundFile(const QString &path);

// The 1-based position of the first byte of the first MPEG Layer III frame
// header in the file, or -1 when there is none (or the file cannot be read).
// As the decoder, it looks within the first 64 KB past an ID3v2 tag at the
// start of the file, and not inside that tag.
[[nodiscard]] qint32 IsMp3File(const QString &path);

// True when the file holds an MPEG Layer III stream as a decoder finds one:
// within the same bound, a frame header that the next frame's header follows
// where its length says (or the end of the file). A lone pattern that passes
// for a header, which random bytes often hold, is no stream.
[[nodiscard]] bool HoldsMp3Stream(const QString &path);

// A new record for the file `folder` + `name`: the kind and, for a sound
// file, its format and memory estimate. `compressByDefault` is the user's
// preference for new rows (ignored for compressed chip PCM). A file of kind
// -1 gives a record with only names and kind.
[[nodiscard]] SoundEntry GetSoundFileInfo(const QString &folder, const QString &name, bool compressByDefault);

// The sample rate that a chip PCM code byte stands for (the compression bit
// is ignored); 0 for the codes whose rate divisor is 0.
[[nodiscard]] qint32 PcmDisplayRate(quint8 codeByte);

// The converter's rate reduction factor for a sample rate: 1 for 8000 to
// 11025 Hz, 2 up to 22050, 3 for 24000 and 32000, 4 for 44100, 5 for 48000.
[[nodiscard]] int RateReductionFactor(qint32 sampleRate);

// Estimated bytes of chip memory for the sound after conversion (despite the
// name): 8-bit mono at the reduced rate, halved again when compressed. 0 when
// no estimate can be made (no rate, a rate below 111 Hz).
[[nodiscard]] qint32 EstimateMemoryKB(const SoundEntry &entry);

// The first row (from 1) whose record holds `tag`, or 0. Tag 0 is never in use.
[[nodiscard]] int IsTagInUse(const SoundRows &rows, qint32 tag);

// The Duplicate Tag message: the sound `name` is not taken into the library
// because `holder` has its tag (both names as shown).
[[nodiscard]] QString DuplicateTagMessage(const QString &name, const QString &holder);
