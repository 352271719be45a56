#pragma once

// A model of one SV3420 or SV3410 chip on its board, for tests and for
// trying the program without hardware. It takes the byte stream a host
// writes (command character, optional signed number, command letter; NUL to
// act, CAN to stop, CR), answers with the bytes the chip would send, paces
// its speech on vx::Clock, holds CTS low while its input buffer is full and
// honours the line speed. Behaviour per command letter sits in a table, so
// new commands join without touching the parser.
//
// The link library's own exchanges (status, identity, transfers, recording
// memory) follow link/PROTOCOL.md.

#include "link/LinkRecords.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <deque>
#include <functional>
#include <map>

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
    double secondsPerChar = 0.004; // program seconds of speech per text byte
    double flashSeconds = 1.0;   // CTS low while a firmware image is written
    int powerUpBaud = 0;         // 0 = takes the speed of the first CR
    double storeBytesPerSecond = 0; // a transfer's storing pace (CTS off per block); 0 = instant
    double recMemWorkSeconds = 0.2; // erasing or repairing the recording memory

    // The preset for "SV3420" or "SV3410" (anything else: SV3420).
    [[nodiscard]] static ChipConfig forModel(const QString &model);
};

// Faults a test can switch on.
struct ChipFaults
{
    bool silent = false;              // hears nothing (every byte is lost), answers nothing
    bool ctsStuckLow = false;         // CTS never rises
    bool stuckAt9600 = false;         // the line runs at 9600, whatever happens
    QByteArray junkBeforeReply;       // sent in front of every reply
    int failTransferAtPercent = -1;   // a transfer fails once this share arrived
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

// One file of the recording memory (a chip PCM file as the chip holds it).
struct RecFile
{
    quint16 tag = 0;
    QByteArray pcm;
};

// Firmware images as this chip takes them: "SVFW", the part (1 first image,
// 2 second image), and the version where the program reads it (first image:
// bytes 8-13 chained; second image: the two bytes at length - 132).
[[nodiscard]] QByteArray makeFirmwareImage(int part, int version, int size = 4096);
// The part of an image (1 or 2), 0 when the bytes are not an image.
[[nodiscard]] int firmwareImagePart(const QByteArray &image);
// The version an image carries for its part, as the program reads it; -1
// when it is too short.
[[nodiscard]] int firmwareImageVersion(const QByteArray &image, int part);

class Chip : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(Chip &, const Command &)>;
    // Takes the bytes that follow a command; returns false once it wants no
    // more (the byte it returns false for is consumed).
    using DataSink = std::function<bool(quint8)>;

    explicit Chip(const ChipConfig &config = {}, QObject *parent = nullptr);
    ~Chip() override;

    // --- The line (the serial object's emulator backend and svchip).
    // Bytes from the host, sent at hostBaud with CTS as the host saw it.
    void receive(const QByteArray &bytes, int hostBaud);
    void setDtr(bool on);
    void setRts(bool on);
    [[nodiscard]] bool dtr() const { return mDtr; }
    [[nodiscard]] bool cts() const;
    // The chip's line speed; 0 while it waits for a CR to find it.
    [[nodiscard]] int lineBaud() const;
    // Power cycle: settings, registers and speed back to power-up; what was
    // downloaded (greeting, dictionary, recording memory, firmware) stays.
    void powerCycle();

    // --- Set-up and faults.
    [[nodiscard]] const ChipConfig &config() const { return mConfig; }
    void setConfig(const ChipConfig &config);
    [[nodiscard]] ChipFaults &faults() { return mFaults; }
    void setFaults(const ChipFaults &faults);

    // --- What a test observes. The byte and write logs keep the latest
    // million entries (a long svchip session would grow them without end).
    [[nodiscard]] const QVector<LoggedByte> &byteLog() const { return mByteLog; }
    [[nodiscard]] const QVector<LoggedWrite> &writeLog() const { return mWriteLog; }
    [[nodiscard]] const QVector<Command> &commandLog() const { return mCommandLog; }
    // Every byte the chip took (accepted), in order.
    [[nodiscard]] QByteArray acceptedBytes() const;
    // Every byte the chip sent back, in order (whether the host heard it or not).
    [[nodiscard]] const QByteArray &sentBytes() const { return mSentLog; }
    void clearLogs();

    [[nodiscard]] LinkStatus statusRecord() const;
    [[nodiscard]] ChipInfo infoRecord() const;
    [[nodiscard]] bool speaking() const;
    // Text bytes spoken so far (acted on and paced out).
    [[nodiscard]] const QByteArray &spokenText() const { return mSpoken; }

    // Value of a voice setting or register by its command letter
    // ('v','s','p','x','a','f','e','r','o','g','n','b'); 0 when unknown.
    [[nodiscard]] int setting(char letter) const;
    void setSetting(char letter, int value);

    // Downloads as stored.
    [[nodiscard]] const QByteArray &greeting() const { return mGreeting; }
    [[nodiscard]] const QByteArray &dictionary() const { return mDictionary; }
    [[nodiscard]] const QByteArray &soundLibrary() const { return mSoundLibrary; }
    // The payload of the last completed download, exactly as it arrived.
    [[nodiscard]] const QByteArray &lastDownload() const { return mLastDownload; }
    [[nodiscard]] int downloadCount() const { return mDownloadCount; }
    [[nodiscard]] int firmwareWrites() const { return mFirmwareWrites; }

    // Recording memory.
    [[nodiscard]] const QVector<RecFile> &recFiles() const { return mRecFiles; }
    // Stores a file (as if recorded); returns false when it does not fit.
    bool addRecFile(quint16 tag, const QByteArray &pcm);
    [[nodiscard]] bool recMemCorrupt() const { return mRecCorrupt; }
    void setRecMemCorrupt(bool corrupt) { mRecCorrupt = corrupt; }
    [[nodiscard]] qint32 recMemFree() const;
    [[nodiscard]] bool playingRecording() const { return mPlayEnd > 0; }

    // --- The command table and what handlers use.
    // Behaviour of a command letter; replaces the one there.
    void setCommand(char letter, Handler handler);
    // Sends bytes to the host (behind any junk fault), in order.
    void send(const QByteArray &bytes);
    // The next bytes after the current command go to sink.
    void takeData(DataSink sink);
    // Adds a marker to the speech queue: the byte is sent when speech
    // reaches it.
    void enqueueMarker(int byte);
    void setLineBaud(int baud);
    // The link library's framed reply (link/PROTOCOL.md).
    void sendFrame(quint8 id, const QByteArray &payload);
    // Sends bytes once the given program seconds have passed (after what
    // was sent before them).
    void sendLater(double seconds, const QByteArray &bytes);
    [[nodiscard]] static QByteArray frame(quint8 id, const QByteArray &payload);

signals:
    // Bytes the chip sends, at its line speed.
    void transmit(const QByteArray &bytes, int baud);
    void ctsChanged(bool high);

private:
    struct SpeechItem
    {
        int marker = -1;   // >= 0: a byte to send when reached
        QByteArray text;   // else text to speak
        bool acted = false;
    };

    void installCommands();
    void takeByte(quint8 b);
    void runCommand(const Command &cmd);
    void actOnBuffer();
    void stopAll();
    void tick();
    void flushOut();
    void ensureTicking();
    void updateCts();
    [[nodiscard]] int bufferedBytes() const;
    void queryCommand(const Command &cmd);
    void registerCommand(const Command &cmd);
    // Link exchanges.
    void beginTransfer(int id);
    bool transferByte(quint8 b);
    void finishTransfer();
    void storeDownload(const QByteArray &payload);
    void storeFirmware(const QByteArray &image);
    quint8 storeSoundLibrary(const QByteArray &lib, bool tagged);
    int findRecFile(qint32 number, bool byTag) const;
    void recMemCommand(int id);

    ChipConfig mConfig;
    ChipFaults mFaults;
    QTimer mTimer;

    // Line.
    bool mDtr = false;
    bool mRts = false;
    int mBaud = 0;
    int mSpeedBeforeReset = 0; // the speed "7h" just dropped, for its closing NUL
    double mCtsLowUntil = 0.0;
    bool mLastCts = false;

    // Parser.
    enum class ParseState { Text, Number, Data };
    ParseState mState = ParseState::Text;
    Command mCmd;
    QByteArray mNumberText;
    DataSink mSink;
    int mSinkGeneration = 0;

    // Speech.
    std::deque<SpeechItem> mSpeech;
    double mSpeakStart = 0.0; // clock time the current text item started
    bool mSpeakRunning = false;
    QByteArray mSpoken;

    // Outgoing replies, delivered from the timer so they arrive
    // asynchronously like on a real line.
    struct OutChunk
    {
        QByteArray bytes;
        int baud = 0; // the line speed when the chip sent them
    };
    std::deque<OutChunk> mOut;
    std::deque<std::pair<double, QByteArray>> mLater;
    bool mFlushPosted = false;

    // State.
    std::map<char, int> mSettings;
    std::map<char, Handler> mCommands;
    QByteArray mGreeting, mDictionary, mSoundLibrary, mLastDownload;
    int mDownloadCount = 0;
    int mFirmwareWrites = 0;
    QVector<RecFile> mRecFiles;
    bool mRecCorrupt = false;
    double mPlayEnd = 0.0;
    int mMode = 2;
    int mCharDelay = 0;
    int mTextDelay = 0;
    bool mDictLoaded = false;
    bool mDictEnabled = false;

    // A transfer in progress (link/PROTOCOL.md).
    struct Transfer
    {
        int id = 0;
        int stage = 0;      // 0 length, 1 block header, 2 block data, 3 args
        QByteArray header;
        quint32 total = 0;
        int blockLeft = 0;
        QByteArray payload;
        bool failed = false;
    } mXfer;

    QVector<LoggedByte> mByteLog;
    QVector<LoggedWrite> mWriteLog;
    QVector<Command> mCommandLog;
    QByteArray mSentLog;
};

} // namespace chipsim
