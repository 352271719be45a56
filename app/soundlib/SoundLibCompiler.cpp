#include "app/soundlib/SoundLibCompiler.h"

#include "app/soundlib/SoundConvert.h"
#include "app/soundlib/SoundFormat.h"
#include "common/Bytes.h"
#include "common/SafeFile.h"
#include "components/common/ComponentError.h"
#include "components/sonvert/Errors.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/cSonvert.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstring>
#include <span>

namespace {

constexpr quint16 kBlockMarker = 0xDBEC;
constexpr qint32 kMaxEntryTag = 0xFFFF; // a chip PCM header may carry 65535
constexpr quint64 kMaxDataLength = 0xFFFFFFFFull;

// Our own failures get the numbers of the run-time errors they are.
constexpr int kErrOverflow = 6;
constexpr int kErrFileAccess = 75;

std::span<const std::uint8_t> bytesOf(QByteArrayView v)
{
    return {reinterpret_cast<const std::uint8_t *>(v.data()), static_cast<std::size_t>(v.size())};
}

quint16 byteSum(QByteArrayView v, quint16 sum = 0)
{
    for (const char c : v)
        sum = static_cast<quint16>(sum + static_cast<unsigned char>(c));
    return sum;
}

QString failure(int number, const QString &description, const QString &fileName)
{
    return QStringLiteral("Error %1: ").arg(number) + description + QStringLiteral(" (") + fileName + QLatin1Char(')');
}

class SonvertConversion final : public SoundConversion
{
public:
    explicit SonvertConversion(const QString &tempFolder)
    {
        QString target = tempFolder;
        if (!target.endsWith(QLatin1Char('/')))
            target += QLatin1Char('/');
        mSonvert.setTargetPath(QFile::encodeName(target).toStdString());
    }
    void setPercentDone(PercentDone handler) override { mSonvert.setPercentDone(std::move(handler)); }
    QString ConvertSoundToPcm(const QString &source, qint32 tag, qint16 noiseGate, bool boost, bool sv20,
                              bool compress) override
    {
        return SonvertToPcm(mSonvert, source, tag, noiseGate, boost, sv20, compress);
    }
    QString CompressPcm(const QString &source, bool sv20) override { return SonvertCompress(mSonvert, source, sv20); }

private:
    cSonvert mSonvert;
};

// The output as it is written: the check sum and the data length are kept
// on the way, so finishing needs no second pass over a file of many megabytes.
class SfxWriter
{
public:
    bool create(const QString &path)
    {
        return mOut.create(std::filesystem::path(vx::fileNameBytes(path).toStdString()));
    }
    bool write(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return true;
        const bool ok = mOut.write(bytes.data(), static_cast<std::size_t>(bytes.size()));
        // The length field's bytes join the sum when it is written at the end.
        const qsizetype skip = mSize < kSfxLengthOffset + 4 ? std::min(kSfxLengthOffset + 4 - mSize, bytes.size()) : 0;
        mSum = byteSum(bytes.sliced(skip), mSum);
        mSize += bytes.size();
        return ok;
    }
    [[nodiscard]] qint64 size() const { return mSize; }
    [[nodiscard]] quint64 dataLength() const { return static_cast<quint64>(mSize - kSfxBlockOffset); }

    bool finish()
    {
        if ((dataLength() & 1) != 0 && !write(QByteArrayView("\0", 1)))
            return false;
        std::uint8_t length[4];
        vx::putLe32(length, static_cast<std::uint32_t>(dataLength()));
        mSum = byteSum(QByteArrayView(length, 4), mSum);
        std::uint8_t sum[2];
        vx::putLe16(sum, mSum);
        if (!mOut.writeAt(kSfxLengthOffset, length, 4) || !mOut.write(sum, 2))
            return false;
        mSize += 2;
        return mOut.commit();
    }
    // The system's cause of a failed step.
    [[nodiscard]] QString errorString() const
    {
        return mOut.errorString().empty() ? QStringLiteral("Path/File access error")
                                          : QString::fromLocal8Bit(mOut.errorString());
    }

private:
    vx::OutputFile mOut;
    qint64 mSize = 0;
    quint16 mSum = 0;
};

// Removes the converter's outputs of one sound when it goes out of scope,
// whichever way the sound ends.
struct TempFiles
{
    QStringList paths;
    ~TempFiles()
    {
        for (const QString &p : paths)
            QFile::remove(p);
    }
};

bool samePath(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() ? fa.canonicalFilePath() == fb.canonicalFilePath()
                                      : fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

QByteArray BuildSfxHeader(bool olderFlavour, int entryCount, char cmdChar)
{
    QByteArray h(kSfxHeaderSize, '\0');
    auto *p = reinterpret_cast<std::uint8_t *>(h.data());
    p[0] = 0x0D;
    p[1] = 0x0D;
    p[2] = 0x18;
    p[3] = 0x1E;
    p[4] = static_cast<std::uint8_t>(cmdChar);
    std::memcpy(p + 5, olderFlavour ? "100w" : "223w", 4);
    vx::putLe16(p + kSfxBlockOffset, kBlockMarker);
    vx::putLe16(p + kSfxBlockOffset + 2, olderFlavour ? static_cast<std::uint16_t>(entryCount) : 0xFFFF);
    return h;
}

QString DefaultSfxPath(const QString &documentName)
{
    const qsizetype slash = std::max(documentName.lastIndexOf(QLatin1Char('/')), documentName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = documentName.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? documentName.left(dot) : documentName) + QStringLiteral(".sfx");
}

std::optional<QByteArray> BuildSfxEntry(QByteArrayView pcmFile, bool olderFlavour, qint32 tag, SfxEntryError *why)
{
    const auto fail = [why](SfxEntryError e) {
        if (why)
            *why = e;
        return std::nullopt;
    };
    if (why)
        *why = SfxEntryError::None;
    const auto bytes = bytesOf(pcmFile);
    const auto header = sonvert::readPcmHeader(bytes.first(std::min(bytes.size(), sonvert::kMarkedHeaderSize)),
                                               bytes.size());
    if (!header)
        return fail(SfxEntryError::NotPcm);
    if (olderFlavour) {
        if (header->form == sonvert::PcmForm::Marked)
            return fail(SfxEntryError::MarkedInOlder);
        return QByteArray(pcmFile.data(), pcmFile.size());
    }
    if (tag < 0 || tag > kMaxEntryTag)
        return fail(SfxEntryError::TagOutOfRange);
    const auto data = sonvert::pcmDataOf(bytes, *header);
    QByteArray entry(6, '\0');
    auto *p = reinterpret_cast<std::uint8_t *>(entry.data());
    vx::putLe24(p, header->dataLength);
    p[3] = header->codeByte;
    vx::putLe16(p + 4, static_cast<std::uint16_t>(tag));
    entry.append(reinterpret_cast<const char *>(data.data()), static_cast<qsizetype>(data.size()));
    return entry;
}

void FinalizeSoundLibraryFile(QByteArray &file)
{
    if (file.size() < kSfxBlockOffset)
        return; // no header to complete
    qint64 n = file.size() - kSfxBlockOffset;
    if (n & 1) {
        file.append('\0');
        ++n;
    }
    vx::putLe32(reinterpret_cast<std::uint8_t *>(file.data()) + kSfxLengthOffset, static_cast<std::uint32_t>(n));
    std::uint8_t sum[2];
    vx::putLe16(sum, byteSum(QByteArrayView(file).sliced(kSfxLengthOffset)));
    file.append(reinterpret_cast<const char *>(sum), 2);
}

QString CompileDuplicateTagMessage(const QString &library, const QString &first, const QString &second, qint32 tag)
{
    return QStringLiteral("The sound library '") + ProperCaseName(library) +
           QStringLiteral("' was not compiled: ") + ProperCaseName(first) + QStringLiteral(" and ") +
           ProperCaseName(second) + QStringLiteral(" have the same tag, %1. Give one of them another tag, ").arg(tag) +
           QStringLiteral("then compile again. ");
}

std::unique_ptr<SoundConversion> MakeSonvertConversion(const QString &tempFolder)
{
    return std::make_unique<SonvertConversion>(tempFolder);
}

CompileResult CompileSoundLibraryFile(const SoundLibCompile &job, SoundConversion &converter,
                                      const CompileProgressFn &progress)
{
    const int count = static_cast<int>(job.entries.size());
    bool cancel = false;
    CompileProgress step;
    step.rowCount = count;
    const auto report = [&](CompileStage stage, int row) {
        step.stage = stage;
        step.row = row;
        step.filePercent = 0;
        if (progress)
            progress(step, cancel);
    };
    const auto result = [](CompileOutcome outcome, int row = 0, const QString &message = QString()) {
        return CompileResult{outcome, row, message, 0};
    };

    // The chip finds a sound by its tag: of two with one tag the second
    // would be out of reach. Only the newer flavour carries tags.
    if (!job.olderFlavour) {
        QHash<qint32, int> holders;
        for (int i = 0; i < count; ++i) {
            const qint32 tag = job.entries[i].Tag;
            if (tag == 0)
                continue;
            if (const auto at = holders.constFind(tag); at != holders.constEnd())
                return result(CompileOutcome::DuplicateTag, i + 1,
                              CompileDuplicateTagMessage(QFileInfo(job.outputPath).fileName(),
                                                         job.entries[*at].FileName, job.entries[i].FileName, tag));
            holders.insert(tag, i);
        }
    }
    // Deleting the old output must never delete one of the sounds.
    for (int i = 0; i < count; ++i) {
        if (samePath(job.outputPath, job.entries[i].path()))
            return result(CompileOutcome::Failed, i + 1,
                          failure(kErrFileAccess, QStringLiteral("The compiled library would replace this sound file"),
                                  job.entries[i].FileName));
    }
    // An older library of that name must not pass for this one if the compile
    // does not finish.
    if (QFile::exists(job.outputPath) && !QFile::remove(job.outputPath))
        return result(CompileOutcome::Failed, 0,
                      failure(kErrFileAccess, QStringLiteral("Path/File access error"), QFileInfo(job.outputPath).fileName()));

    for (int i = 0; i < count; ++i) {
        report(CompileStage::Verifying, i + 1);
        if (!QFileInfo::exists(job.entries[i].path()))
            return result(CompileOutcome::MissingFile, i + 1,
                          QStringLiteral("Cannot open '") + job.entries[i].FileName
                              + QStringLiteral("' (file was probably moved or deleted)"));
        if (cancel)
            return result(CompileOutcome::Cancelled, i + 1);
    }

    SfxWriter out;
    if (!out.create(job.outputPath) || !out.write(BuildSfxHeader(job.olderFlavour, count, job.cmdChar)))
        return result(CompileOutcome::Failed, 0,
                      failure(kErrFileAccess, out.errorString(), QFileInfo(job.outputPath).fileName()));

    const bool sv20 = !job.olderFlavour;
    // The handler refers to this run's state: it must not outlive the run.
    struct HandlerReset
    {
        SoundConversion &c;
        ~HandlerReset() { c.setPercentDone(nullptr); }
    } handlerReset{converter};
    converter.setPercentDone([&](int percent, bool &stop) {
        step.filePercent = percent;
        if (progress)
            progress(step, cancel);
        stop = cancel;
    });
    for (int i = 0; i < count; ++i) {
        const SoundEntry &e = job.entries[i];
        const int row = i + 1;
        step.librarySize = out.size();
        report(CompileStage::Converting, row);
        if (cancel)
            return result(CompileOutcome::Cancelled, row);

        TempFiles temp;
        QString pcmPath;
        try {
            if (e.Kind == sfkWave || e.Kind == sfkMp3) {
                // Compressed in the one pass: a sound whose plain data would
                // pass the length field may fit once compressed.
                pcmPath = converter.ConvertSoundToPcm(e.path(), e.Tag, e.NoiseGate, e.Boost, sv20, e.Compress);
                temp.paths << pcmPath;
            } else if (e.Kind == sfkPcm || e.Kind == sfkCompressedPcm) {
                pcmPath = e.path();
                // The file's header, not the row, says whether it is
                // compressed: one converted again since it was listed goes
                // in as it is now.
                if (e.Compress && GetSoundFileKind(pcmPath) != sfkCompressedPcm) {
                    pcmPath = converter.CompressPcm(pcmPath, sv20);
                    temp.paths << pcmPath;
                }
            } else {
                return result(CompileOutcome::Failed, row,
                              failure(sonvert::emrSrcFileInvalid, QStringLiteral("Sound file format invalid or not supported."),
                                      e.FileName));
            }
        } catch (const vx::ComponentError &error) {
            if (error.code() == sonvert::emrUserCanceled)
                return result(CompileOutcome::Cancelled, row);
            return result(CompileOutcome::Failed, row,
                          failure(error.code(), QString::fromStdString(error.description()), e.FileName));
        } catch (const std::exception &error) {
            return result(CompileOutcome::Failed, row,
                          failure(kErrFileAccess, QString::fromLocal8Bit(error.what()), e.FileName));
        }

        // A sound that cannot be read whole ends the run: never half an entry.
        const auto unreadable = [&] {
            return result(CompileOutcome::Failed, row,
                          failure(kErrFileAccess, QStringLiteral("Path/File access error"), e.FileName));
        };
        QFile pcm;
        if (!vx::openForReading(pcm, pcmPath))
            return unreadable();
        if (pcm.size() > static_cast<qint64>(sonvert::kMarkedHeaderSize + sonvert::kMaxPcmDataLength))
            return result(CompileOutcome::Failed, row,
                          failure(sonvert::emrSrcFileInvalid, QStringLiteral("Invalid or corrupt pcm file."), e.FileName));
        const qint64 expected = pcm.size();
        const QByteArray bytes = pcm.readAll();
        if (pcm.error() != QFileDevice::NoError || bytes.size() != expected)
            return unreadable();
        SfxEntryError why = SfxEntryError::None;
        const auto entry = BuildSfxEntry(bytes, job.olderFlavour, e.Tag, &why);
        if (why == SfxEntryError::MarkedInOlder)
            return result(CompileOutcome::Unsupported, row,
                          QLatin1Char('\'') + ProperCaseName(QFileInfo(pcmPath).fileName()) + QStringLiteral("' ")
                              + QStringLiteral("is an SV3420 ADPCM-encoded sound file,\r\n")
                              + QStringLiteral("which is not compatible with the SV3410. Remove this file from the  \r\n")
                              + QStringLiteral("library, or select SV3420-only compatibility in Preferences."));
        if (why == SfxEntryError::TagOutOfRange)
            return result(CompileOutcome::Failed, row, failure(kErrOverflow, QStringLiteral("Overflow"), e.FileName));
        if (!entry)
            return result(CompileOutcome::Failed, row,
                          failure(sonvert::emrSrcFileInvalid, QStringLiteral("Invalid or corrupt pcm file."), e.FileName));
        if (out.dataLength() + static_cast<quint64>(entry->size()) + 1 > kMaxDataLength)
            return result(CompileOutcome::Failed, row, failure(kErrOverflow, QStringLiteral("Overflow"), e.FileName));
        // The row's sound is named as for any failure of the row; the text
        // names the library it could not be written to.
        if (!out.write(*entry))
            return result(CompileOutcome::Failed, row,
                          failure(kErrFileAccess,
                                  QStringLiteral("Cannot write '%1': %2").arg(job.outputPath, out.errorString()),
                                  e.FileName));
        if (cancel)
            return result(CompileOutcome::Cancelled, row);
    }

    step.librarySize = out.size();
    report(CompileStage::Writing, count);
    if (!out.finish())
        return result(CompileOutcome::Failed, count,
                      failure(kErrFileAccess, out.errorString(), QFileInfo(job.outputPath).fileName()));
    CompileResult done = result(CompileOutcome::Succeeded, count);
    done.fileSize = out.size();
    return done;
}
