#include "app/documents/SoundLibFile.h"

#include "common/SafeFile.h"
#include "platform/Cp1252.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <limits>
#include <utility>

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// Names are stored in the Windows code page when every character fits it (as
// the files of the older program are), else in UTF-8, so that no name on disk
// is ever written as "?" and lost.
QByteArray encodeText(const QString &text)
{
    const QByteArray single = vx::toCp1252(text);
    return vx::fromCp1252(single) == text ? single : text.toUtf8();
}

QString decodeText(QByteArrayView bytes)
{
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return vx::fromCp1252(bytes);
}

void putString(QByteArray &out, const QString &text)
{
    out += '"' + encodeText(text) + '"' + kCrLf;
}

void putNumber(QByteArray &out, qint64 value)
{
    out += QByteArray::number(value) + kCrLf;
}

void putBool(QByteArray &out, bool value)
{
    out += (value ? QByteArrayLiteral("#TRUE#") : QByteArrayLiteral("#FALSE#")) + kCrLf;
}

// Reads the values line by line; the first failure is kept and every later
// read is a no-op, so the parser reads straight through and checks once.
class LineReader
{
public:
    explicit LineReader(QByteArrayView bytes) : mBytes(bytes) {}

    [[nodiscard]] bool failed() const { return !mError.isEmpty(); }
    [[nodiscard]] const QString &error() const { return mError; }
    void fail(const QString &message)
    {
        if (mError.isEmpty())
            mError = message;
    }

    // A string is everything between the first and the last quotation mark:
    // nothing in it is escaped, so a name may hold quotation marks itself.
    QString string()
    {
        const QByteArrayView line = next();
        if (failed())
            return {};
        const qsizetype first = line.indexOf('"');
        const qsizetype last = line.lastIndexOf('"');
        if (first < 0 || last == first)
            return decodeText(line.trimmed());
        return decodeText(line.sliced(first + 1, last - first - 1));
    }

    qint64 number(qint64 lowest, qint64 highest)
    {
        const QByteArrayView line = next().trimmed();
        if (failed())
            return 0;
        bool ok = false;
        const qint64 v = line.toByteArray().toLongLong(&ok);
        if (!ok || v < lowest || v > highest) {
            fail(damaged(QStringLiteral("line %1 does not hold a number of the expected size.").arg(mPos)));
            return 0;
        }
        return v;
    }

    qint16 int16() { return static_cast<qint16>(number(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max())); }
    qint32 int32() { return static_cast<qint32>(number(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())); }

    bool boolean()
    {
        const QByteArrayView line = next().trimmed();
        if (failed())
            return false;
        if (line.compare("#TRUE#", Qt::CaseInsensitive) == 0)
            return true;
        if (line.compare("#FALSE#", Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const qint64 v = line.toByteArray().toLongLong(&ok);
        if (!ok)
            fail(damaged(QStringLiteral("line %1 does not hold #TRUE# or #FALSE#.").arg(mPos)));
        return ok && v != 0;
    }

    static QString damaged(const QString &what)
    {
        return QStringLiteral("The sound library file is damaged: ") + what;
    }

private:
    // Lines end at CR LF, LF or CR; each is found when it is read, so a file
    // of many short lines costs no list of them.
    QByteArrayView next()
    {
        if (failed())
            return {};
        const qsizetype n = mBytes.size();
        if (mAt >= n) {
            fail(damaged(QStringLiteral("it ends before its last sound.")));
            return {};
        }
        qsizetype end = mAt;
        while (end < n && mBytes[end] != '\r' && mBytes[end] != '\n')
            ++end;
        const QByteArrayView line = mBytes.sliced(mAt, end - mAt);
        if (end < n && mBytes[end] == '\r' && end + 1 < n && mBytes[end + 1] == '\n')
            ++end;
        mAt = end + 1;
        ++mPos;
        return line;
    }

    QByteArrayView mBytes;
    qsizetype mAt = 0;  // where the next line starts
    qsizetype mPos = 0; // lines read so far, so also the 1-based number of the last one
    QString mError;
};

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

std::optional<QByteArray> BuildSoundLibFile(const QList<SoundEntry> &entries, QString *error)
{
    QByteArray out;
    putString(out, QString::fromLatin1(kSoundLibMagic));
    putNumber(out, kSoundLibVersion);
    putNumber(out, entries.size());
    for (const SoundEntry &e : entries) {
        if (hasLineBreak(e.FileName) || hasLineBreak(e.Location)) {
            if (error)
                *error = QStringLiteral("The name of ") + e.path()
                    + QStringLiteral(" holds a line break, which a sound library file cannot store.");
            return std::nullopt;
        }
        putNumber(out, e.Kind);
        putNumber(out, e.Channels);
        putNumber(out, e.SampleRate);
        putNumber(out, e.BitsPerSample);
        putNumber(out, e.DataBytes);
        putBool(out, e.Compress);
        putString(out, e.FileName);
        putString(out, e.Location);
        putNumber(out, e.Tag);
        putNumber(out, e.NoiseGate);
        putNumber(out, e.BitRate);
        putBool(out, e.Boost);
    }
    return out;
}

bool HasSoundLibMagic(QByteArrayView bytes)
{
    LineReader in(bytes);
    return in.string() == QLatin1String(kSoundLibMagic) && !in.failed();
}

std::optional<QList<SoundEntry>> ParseSoundLibFile(QByteArrayView bytes, QString *error)
{
    LineReader in(bytes);
    (void)in.string(); // the magic; the opener has tested it
    const qint16 version = in.int16();
    const qint16 count = in.int16();
    if (!in.failed() && (count < 0 || count > SoundLibTable::kMaxRows))
        in.fail(QStringLiteral("The sound library file lists %1 sounds; a library holds 0 to %2.")
                    .arg(count)
                    .arg(SoundLibTable::kMaxRows));
    QList<SoundEntry> entries;
    for (int i = 0; i < count && !in.failed(); ++i) {
        SoundEntry e; // from zero: nothing of an earlier library survives
        e.Kind = in.int16();
        e.Channels = in.int16();
        e.SampleRate = in.int32();
        e.BitsPerSample = in.int16();
        e.DataBytes = in.int32();
        e.Compress = in.boolean();
        e.FileName = in.string();
        e.Location = in.string();
        if (version >= 2) {
            e.Tag = in.int32();
            e.NoiseGate = in.int16();
        }
        if (version >= 3)
            e.BitRate = in.int32();
        if (version >= 4)
            e.Boost = in.boolean();
        e.MemUsed = EstimateMemoryKB(e);
        entries.append(e);
    }
    if (in.failed()) {
        if (error)
            *error = in.error();
        return std::nullopt;
    }
    return entries;
}

bool SaveSoundLibFile(const QString &path, const QList<SoundEntry> &entries, QString *error)
{
    const auto bytes = BuildSoundLibFile(entries, error);
    if (!bytes)
        return false;
    std::string reason;
    if (vx::writeFileAtomically(std::filesystem::path(vx::fileNameBytes(path).toStdString()),
                                std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())),
                                &reason))
        return true;
    if (error)
        *error = QString::fromLocal8Bit(reason);
    return false;
}

bool ReadSoundLibFileBytes(const QString &path, QByteArray &bytes, QString *error)
{
    QFile file;
    if (!vx::openForReading(file, path, error))
        return false;
    QByteArray read;
    if (file.size() <= kMaxSoundLibFileBytes)
        read = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.size() > kMaxSoundLibFileBytes || read.size() > kMaxSoundLibFileBytes) {
        if (error)
            *error = QStringLiteral("'") + QFileInfo(path).fileName() +
                     QStringLiteral("' is larger than the list of a sound library of %1 sounds can be (%2 MB at "
                                    "most), so it was not read.")
                         .arg(SoundLibTable::kMaxRows)
                         .arg(kMaxSoundLibFileBytes / (1024 * 1024));
        return false;
    }
    bytes = std::move(read);
    return true;
}

std::optional<QList<SoundEntry>> LoadSoundLibFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!ReadSoundLibFileBytes(path, bytes, error))
        return std::nullopt;
    if (!HasSoundLibMagic(bytes)) {
        if (error)
            *error = QStringLiteral("The file is not a sound library.");
        return std::nullopt;
    }
    return ParseSoundLibFile(bytes, error);
}
