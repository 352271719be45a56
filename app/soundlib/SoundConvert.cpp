#include "app/soundlib/SoundConvert.h"

#include "app/soundlib/SoundEntry.h"
#include "common/SafeFile.h"
#include "components/common/ComponentError.h"
#include "components/sonvert/cSonvert.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <QFileInfo>

#include <limits>
#include <string>

namespace {

const char kSource[] = "Voxmere";

// A file that cannot be read or written fails as the converter's own files
// do: the file and the system's cause, once.
[[noreturn]] void fileAccess(const char *what, const QString &path, const QString &why)
{
    throw vx::ComponentError(vx::ComponentError::RunTimeError, kConvertErrFileAccess, kSource,
                             vx::fileErrorText(what, path.toStdString(), why.toStdString()));
}

std::string local(const QString &path)
{
    return vx::fileNameBytes(path).toStdString();
}

QString qt(const std::string &path)
{
    return vx::fileNameFromBytes(path);
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

QString SoundFailureText(const vx::ComponentError &e, const QString &source)
{
    const bool badSound = e.code() == kConvertErrBadSound || e.code() == kConvertErrBadSource;
    if (e.kind() != vx::ComponentError::ObjectError || !badSound || sonvert::isReasonDescription(e.description()))
        return ConversionErrorText(e);
    return QStringLiteral("Error %1: ").arg(e.code()) +
        (IsUnsupportedSoundFile(source) ? source + QStringLiteral(" is not a supported sound format.")
                                        : QStringLiteral("Invalid or corrupt sound file ") + source);
}

bool IsCancel(const vx::ComponentError &e)
{
    return e.kind() == vx::ComponentError::ObjectError && e.code() == kConvertErrCancelled;
}

void CopyConvertedFile(const QString &from, const QString &to)
{
    QByteArray bytes;
    if (QString why; !vx::readFileBytes(from, bytes, &why))
        fileAccess("Cannot read", from, why);
    std::string error;
    if (!vx::writeFileAtomically(local(to), std::string_view(bytes.constData(), std::size_t(bytes.size())), &error))
        fileAccess("Cannot write", to, QString::fromLocal8Bit(error));
}

QString SonvertToPcm(cSonvert &c, const QString &source, qint32 tag, qint16 noiseGate, bool boost, bool sv20,
                     bool compress)
{
    return qt(c.ConvertToPcm(local(source), tag, noiseGate, boost, sv20, compress));
}

QString SonvertCompress(cSonvert &c, const QString &source, bool sv20)
{
    return qt(c.CompressPcmFile(local(source), sv20));
}

QString SonvertToWav(cSonvert &c, const QString &source)
{
    return qt(c.ConvertToWav(local(source)));
}
