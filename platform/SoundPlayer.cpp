#include "platform/SoundPlayer.h"

#include "platform/FileNames.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace vx {

namespace {

// The player's address for a file. A name that is not UTF-8 keeps its bytes
// in the address's escapes.
QUrl fileUrl(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray bytes = fileNameBytes(absolute);
    if (bytes == absolute.toUtf8())
        return QUrl::fromLocalFile(absolute);
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"));
}

} // namespace

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer()
{
    stop();
}

bool SoundPlayer::hasOutputDevice()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool SoundPlayer::play(const QString &path, QString *error, const QString &shownAs)
{
    const QString name = shownAs.isEmpty() ? path : shownAs;
    // A regular file only: a pipe or a device under the name would keep the
    // player waiting.
    if (!isRegularFile(path)) {
        if (error)
            *error = QStringLiteral("The file %1 was not found.").arg(name);
        return false;
    }
    if (!hasOutputDevice()) {
        if (error)
            *error = QStringLiteral("No sound output device is available to play %1.").arg(QFileInfo(name).fileName());
        return false;
    }
    if (!mPlayer) {
        mPlayer = new QMediaPlayer(this);
        mOutput = new QAudioOutput(this);
        mPlayer->setAudioOutput(mOutput);
        connect(mPlayer, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia)
                emit finished();
        });
    }
    mPlayer->setSource(fileUrl(path));
    if (mPlayer->error() != QMediaPlayer::NoError) {
        if (error)
            *error = QStringLiteral("%1 cannot be played: %2").arg(QFileInfo(name).fileName(), mPlayer->errorString());
        return false;
    }
    mPlayer->play();
    return true;
}

void SoundPlayer::stop()
{
    if (mPlayer)
        mPlayer->stop();
}

bool SoundPlayer::isPlaying() const
{
    return mPlayer && mPlayer->playbackState() == QMediaPlayer::PlayingState;
}

} // namespace vx
