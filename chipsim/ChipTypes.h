#pragma once

// The plain records of the chip model: how a board is set up, the faults a
// test can switch on, and what the chip logs of what it did, so a test reads
// back what it spoke, transcribed, played, recorded and stored.

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace chipsim {

enum class Model { SV3420, SV3410 };

// What the board is. Set before the host opens the line, or any time.
struct ChipConfig
{
    Model model = Model::SV3420;
    int moduleCode = 1;          // 1 evaluation board, 2/8 SM340A, 4/7 Vellatone LT
    int rateCode = 0;            // 0 10500 Hz, 4 10000 Hz, 8 8000 Hz
    int firmwareFirst = 0x0210;  // version half of the first image
    int firmwareSecond = 0x0210; // version half of the second image
    qint32 recMemBytes = 1536 * 1024; // recording memory; -1 = none
    int inputBufferSize = 1024;  // bytes the chip takes before CTS drops
    double secondsPerChar = defaultSecondsPerChar(); // program seconds of speech per text byte at speed 5
    double flashSeconds = 1.0;   // CTS low while a firmware image is written
    int powerUpBaud = 0;         // 0 = takes the speed of the first CR
    // A transfer's storing pace; 0 = instant. Paced, the chip holds what
    // came in its input buffer (CTS off while a whole block would not fit)
    // and answers once every byte is stored.
    double storeBytesPerSecond = 0;
    bool transferLineTime = false; // a paced transfer's bytes also take their line time (10 bits each)
    double recMemWorkSeconds = 0.2; // erasing or repairing the recording memory
    double adcFramesPerSecond = 100; // conversions the A/D converter streams while it runs
    double recordSeconds = 0;    // a recording ends by itself (status 0) after this; 0 = at CAN only

    // The preset for "SV3420" or "SV3410" (anything else: SV3420).
    [[nodiscard]] static ChipConfig forModel(const QString &model);
    // A chip's own pace, some two and a half words a second, unless the
    // environment variable VOXMERE_SIM_PACE gives seconds per character
    // (0 to 60); tests set it low so that speech takes no time.
    [[nodiscard]] static double defaultSecondsPerChar();
};

// Faults a test can switch on.
struct ChipFaults
{
    bool silent = false;              // hears nothing (every byte is lost), answers nothing
    bool ctsStuckLow = false;         // CTS never rises
    bool stuckAt9600 = false;         // the line runs at 9600, whatever happens
    QByteArray junkBeforeReply;       // sent in front of every reply
    int failTransferAtPercent = -1;   // a transfer fails once this share arrived
    bool recordWriteError = false;    // a recording fails to store: status 7 when it ends
    QByteArray afterWriteError;       // sent right behind that 7 (a stray end marker 98, say)
    // Status bytes a recording sends instead of its own, one write per entry
    // (an entry of several bytes arrives as one burst), 0.05 s apart.
    QList<QByteArray> recordScript;
};

// One byte as it reached the chip.
struct LoggedByte
{
    quint8 byte = 0;
    int baud = 0;         // the host's speed when it was sent
    bool accepted = false; // false: lost (wrong speed, no DTR, or silent chip)
    bool ctsHigh = false; // CTS as the host saw it when writing
    double time = 0.0;    // vx::Clock seconds
};

// One write of the host, as a whole.
struct LoggedWrite
{
    QByteArray bytes;
    int baud = 0;
    bool ctsHigh = false;
    double time = 0.0;
};

// A parsed command: CmdChar, optional sign and number, letter.
struct Command
{
    char letter = 0;
    bool hasNumber = false;
    char sign = 0;      // '+', '-' or 0
    qint32 number = 0;  // signed value (0 when absent)
};

// A word the chip spoke, with the settings it was spoken with.
struct SpokenWord
{
    QByteArray text;      // the word, without the blanks around it
    double start = 0.0;   // vx::Clock seconds when it began
    double seconds = 0.0; // how long it took (longer at a lower speed)
    int mode = 2;         // 2 text, 1 phonetic, 0 character
    int voice = 0;
    int speed = 5;
    int pitch = 50;
    int volume = 5;
};

// A tone the generator played: a single tone command (both forms) or one
// event of a music stream.
struct ToneEvent
{
    bool music = false;        // an event of the "j" stream
    double f1 = 0.0, f2 = 0.0; // single tone: Hz
    double seconds = 0.0;      // its length (music: from the ticks and tempo)
    int ticks = 0;             // music: the event's duration in ticks
    std::array<int, 3> divisors{}; // music: the three voices (0 silent)
    int volume = 0;            // music: the settings in force
    int tempo = 0;
};

// A sound played in real time ("#" plain, "%" compressed).
struct PcmPlay
{
    int rateCode = 0;
    bool compressed = false;
    QByteArray header; // the 9 bytes of a marked file from its offset 7; empty for plain data
    QByteArray data;   // the samples, up to (not with) the end mark
    bool ended = false; // the end mark arrived
};

// One file of the recording memory (a chip PCM file as the chip holds it).
struct RecFile
{
    quint16 tag = 0;
    QByteArray pcm;
};

// What each download did.
enum class DownloadKind { Greeting, Dictionary, SoundLibrary, ChipPcm, Firmware, Other };
struct Download
{
    DownloadKind kind = DownloadKind::Other;
    QByteArray bytes; // exactly as it arrived
    int result = 0;   // the result code sent back (0 stored)
};

} // namespace chipsim
