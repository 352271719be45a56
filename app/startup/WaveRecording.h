#pragma once

// Capturing the chip's voice into a wave file: 8-bit mono samples at the
// chip's rate, appended as they arrive, the header completed at the end.
// Written beside the target and renamed into place, so a recording that
// fails or is abandoned leaves no partial file and the old file whole.

#include "components/sonvert/WavFile.h"

#include <QByteArrayView>
#include <QString>

class WaveRecording
{
public:
    // Starts the file for `path`; false (see errorString) when it cannot be created.
    [[nodiscard]] bool start(const QString &path, int sampleRate);
    // Appends the bytes received, unchanged. Ignored while no recording is
    // open, so stray samples never land in another file. False once a write failed.
    bool append(QByteArrayView samples);
    // Completes both size fields and puts the file in place. A chip that
    // sent nothing gives a header-only file (sizes 36 and 0).
    [[nodiscard]] bool finish();
    // Drops the file being written.
    void abandon();

    [[nodiscard]] bool isOpen() const { return mWriter.isOpen(); }
    [[nodiscard]] quint64 bytesReceived() const { return mWriter.samplesWritten(); }
    [[nodiscard]] QString errorString() const { return QString::fromStdString(mWriter.errorString()); }

private:
    sonvert::WaveWriter8 mWriter;
};

// Messages of the recording command, titled "Create Wave File".
[[nodiscard]] QString WaveCreatingStatus(const QString &name);
[[nodiscard]] QString WaveCannotWriteMessage(const QString &name);
[[nodiscard]] QString WaveCreatedMessage(const QString &name);
[[nodiscard]] QString WaveSoundLostMessage(const QString &name);
