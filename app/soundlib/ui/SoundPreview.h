#pragma once

// Preview of one sound: on the chip in real time (the AudioPlayer setting 0),
// after converting it into chip PCM with the sound's own options, or on the
// PC (any other setting), after turning a chip PCM file into a wave file.

#include <QString>

// Plays the file and reports every failure itself. The program is busy
// meanwhile; a PC preview ends at its end or when StopRequested is set.
void PlaySoundFile(const QString &FileName, bool Compress, qint16 NoiseGate, bool Boost);
// Plays the current row of the active sound library window with its options.
void PlaySelectedSoundFile();

// Plays a sound on the PC for the preview.
class PreviewPlayer
{
public:
    virtual ~PreviewPlayer() = default;
    // Starts playing path; false with the reason when it cannot, which names
    // the sound shownAs (the user's file when path is a converted copy).
    virtual bool open(const QString &path, const QString &shownAs, QString *error) = 0;
    // True until the sound has ended or failed.
    [[nodiscard]] virtual bool isPlaying() const = 0;
    virtual void close() = 0;
};
// Installs p (not owned) in place of the platform's player; null restores
// it (tests). Returns the previous one.
PreviewPlayer *setPreviewPlayer(PreviewPlayer *p);
