#pragma once

// Recording the chip's voice into a wave file: the chip speaks the active
// text and sends its audio back instead, at the fast line speed.

#include <QByteArrayView>

// The Record command: records the active text or selection; while something
// runs it pauses instead.
void RecordTextToWaveCommand();
// Asks for the wave file, has the text spoken in the audio receive mode,
// collects the samples until the line is quiet and completes the file. A
// file that cannot be written gets a message; nothing is left behind when
// the recording fails or stops before any sample arrived.
void RecordTextToWave();

// Appends samples received to the wave file being recorded; ignored while
// none is. A failed write stops the chip at once.
void AppendRecordedAudio(QByteArrayView samples);
// The receive buffer overran: samples are missing from the middle of the
// recording, so the chip stops and the recording ends with a message instead
// of a file. Ignored while no recording is open.
void RecordedAudioLost();
