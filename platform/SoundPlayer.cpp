#include "platform/SoundPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace vx {

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer()
{
    stop();
}

bool SoundPlayer::hasOutputDevice()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool SoundPlayer::play(const QString &path, QString *error)
{
    // A regular file only: a pipe or a device under the name would keep the
    // player waiting.
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("The file %1 was not found.").arg(path);
        return false;
    }
    if (!hasOutputDevice()) {
        if (error)
            *error = QStringLiteral("No sound output device is available to play %1.").arg(QFileInfo(path).fileName());
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
    mPlayer->setSource(QUrl::fromLocalFile(path));
    if (mPlayer->error() != QMediaPlayer::NoError) {
        if (error)
            *error = mPlayer->errorString();
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
