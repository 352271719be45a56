#pragma once

// Sound conversion with a progress bar, and the two single-file commands of
// Utilities > Convert Sound File. The converter is the program's cSonv; its
// outputs land in the temporary folder. While a sound library compiles
// (CompilingLibrary) the progress goes to the compile window's file bar,
// otherwise to the general progress dialog, whose Cancel stops the
// converter. The three conversion routines return the path written and let
// the converter's errors (vx::ComponentError, 1005 when cancelled) pass to
// their caller.

#include <QString>

QString ConvertSoundToPcm(const QString &Source, qint32 Tag, qint16 NoiseGate, bool Boost, bool Compress);
QString ConvertPcmToWaveWithProgress(const QString &Source);
QString CompressPcmWithProgress(const QString &Source);

// Wave or MP3 to a chip PCM file of the user's choice, with the options
// dialog; chip PCM to a wave file of the user's choice. Each reports its
// result and its failures itself and leaves the temporary folder empty.
void ConvertSoundFileToPcm(const QString &Source);
void ConvertPcmFileToWave(const QString &Source);
