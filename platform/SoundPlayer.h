#pragma once

#include <QObject>
#include <QString>

class QMediaPlayer;
class QAudioOutput;

namespace vx {

// Plays a wave or MP3 file on the PC's sound output. No output device, a
// missing file or a format the system cannot play is a message, not a crash.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SoundPlayer(QObject *parent = nullptr);
    ~SoundPlayer() override;

    // Starts playing; returns false with a message when it cannot. The
    // message names the sound `shownAs` when given (the user's own file when
    // path is a converted copy of it), else path.
    bool play(const QString &path, QString *error = nullptr, const QString &shownAs = QString());
    void stop();
    [[nodiscard]] bool isPlaying() const;

    // True when the system offers at least one audio output.
    [[nodiscard]] static bool hasOutputDevice();

signals:
    void finished();

private:
    QMediaPlayer *mPlayer = nullptr;
    QAudioOutput *mOutput = nullptr;
};

} // namespace vx
