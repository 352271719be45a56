#pragma once

// Real-time play on the chip: a music score through its tone generator and
// a chip PCM file through its real-time audio command. Both run inside the
// calling command with the Play button turned into Stop, and end early when
// StopRequested is set.

#include <QString>

// Plays a compiled score (.tgx) or a part-table music file. Does nothing in
// demo mode. A file that cannot be read, or a compiled score larger than
// MaxCompiledScoreBytes (judged before it is read), is reported and nothing
// is sent.
void PlayMusicOnChip(QString &FileName);
// Streams a chip PCM file at 115200 baud. Does nothing in demo mode, nor
// after a stop that came while the caller prepared it (StopRequested set; the
// caller clears it before it begins). A file that cannot be read, or whose
// header disagrees with its size, is reported and nothing is sent.
void PlayPcmOnChip(QString &FileName);
