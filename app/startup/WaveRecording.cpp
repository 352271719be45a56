#include "app/startup/WaveRecording.h"

#include <span>

bool WaveRecording::start(const QString &path, int sampleRate)
{
    mWriter.discard();
    return mWriter.open(std::filesystem::path(path.toStdU16String()), static_cast<std::uint32_t>(sampleRate));
}

bool WaveRecording::append(QByteArrayView samples)
{
    if (!mWriter.isOpen())
        return true;
    return mWriter.write(std::span(reinterpret_cast<const std::uint8_t *>(samples.data()),
                                   static_cast<std::size_t>(samples.size())));
}

bool WaveRecording::finish()
{
    return mWriter.isOpen() && mWriter.commit();
}

void WaveRecording::abandon()
{
    mWriter.discard();
}

QString WaveCreatingStatus(const QString &name)
{
    return QStringLiteral("Creating wave file '") + name + QStringLiteral("'...");
}

QString WaveCannotWriteMessage(const QString &name)
{
    return QStringLiteral("Cannot write to '") + name +
           QStringLiteral("'. Check to make sure that it is not open in another application.");
}

QString WaveCreatedMessage(const QString &name)
{
    return QStringLiteral("The wave file '") + name + QStringLiteral("' was successfully created. ");
}

QString WaveSoundLostMessage(const QString &name)
{
    return QStringLiteral("Sound from the chip was lost while recording '") + name +
           QStringLiteral("': the program could not keep up with the serial line. The wave file was not written; "
                          "please record it again.");
}
