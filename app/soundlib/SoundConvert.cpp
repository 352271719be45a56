#include "app/soundlib/SoundConvert.h"

#include "common/SafeFile.h"
#include "components/sonvert/cSonvert.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <limits>
#include <string>

namespace {

const char kSource[] = "Voxmere";

[[noreturn]] void fileAccess(const QString &why)
{
    throw vx::ComponentError(vx::ComponentError::RunTimeError, kConvertErrFileAccess, kSource,
                             QStringLiteral("Path/File access error (%1)").arg(why).toStdString());
}

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString qt(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The converter throws its numbered errors itself; a file it cannot write
// arrives as a file-system error, which the user sees like any other.
template <typename F>
QString run(F &&call)
{
    try {
        return qt(call());
    } catch (const std::filesystem::filesystem_error &e) {
        fileAccess(QString::fromLocal8Bit(e.code().message()));
    }
}

} // namespace

QString DefaultConvertOutput(const QString &source, const QString &extension)
{
    const qsizetype slash = source.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? source.left(dot) : source) + extension;
}

bool IsMp3Source(const QString &source)
{
    return QFileInfo(source).suffix().toLower() == QLatin1String("mp3");
}

QString ConvertingCaption(const QString &source)
{
    return IsMp3Source(source) ? QStringLiteral("Converting MP3 File") : QStringLiteral("Converting Wave File");
}

QString ConvertTitle(const QString &source)
{
    return IsMp3Source(source) ? QStringLiteral("Convert MP3 File") : QStringLiteral("Convert Wave File");
}

QString ConvertingMessage(const QString &source)
{
    return QStringLiteral("Converting ") + source + QLatin1Char('.');
}

QString ConvertedPcmMessage(const QString &outputName)
{
    return QStringLiteral("The PCM file '") + outputName + QStringLiteral("' was successfully created. ");
}

QString ConvertedWaveMessage(const QString &outputName)
{
    return QStringLiteral("The Wave file '") + outputName + QStringLiteral("' was successfully created. ");
}

qint32 ReadOptionNumber(const QString &digits, int bits)
{
    if (digits.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok);
    const qlonglong max = bits == 16 ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
    const qlonglong min = bits == 16 ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
    if (!ok || v > max || v < min)
        throw vx::ComponentError(vx::ComponentError::RunTimeError, kConvertErrOverflow, kSource, "Overflow");
    return static_cast<qint32>(v);
}

QString ConversionErrorText(const vx::ComponentError &e)
{
    return QStringLiteral("Error %1: ").arg(e.code()) + QString::fromStdString(e.description());
}

bool IsCancel(const vx::ComponentError &e)
{
    return e.kind() == vx::ComponentError::ObjectError && e.code() == kConvertErrCancelled;
}

void CopyConvertedFile(const QString &from, const QString &to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        fileAccess(in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        fileAccess(in.errorString());
    std::string error;
    if (!vx::writeFileAtomically(local(to), std::string_view(bytes.constData(), std::size_t(bytes.size())), &error))
        fileAccess(QString::fromLocal8Bit(error));
}

QString SonvertToPcm(cSonvert &c, const QString &source, qint32 tag, qint16 noiseGate, bool boost, bool sv20,
                     bool compress)
{
    return run([&] { return c.ConvertToPcm(local(source), tag, noiseGate, boost, sv20, compress); });
}

QString SonvertCompress(cSonvert &c, const QString &source, bool sv20)
{
    return run([&] { return c.CompressPcmFile(local(source), sv20); });
}

QString SonvertToWav(cSonvert &c, const QString &source)
{
    return run([&] { return c.ConvertToWav(local(source)); });
}
