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
// memory) follow link/PROTOCOL.md. The parts live apart: the line and parser
// (Chip.cpp), settings and status (Voice.cpp), speech, transcription and
// audio out (Speech.cpp, Phonetics.cpp), tones and real-time sound
// (Tones.cpp), the A/D converter and recording (Recorder.cpp), the link's
// exchanges (LinkServer.cpp) and the recording memory (RecordingMemory.cpp).

#include "chipsim/ChipTypes.h"
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

// Firmware images as this chip takes them: "SVFW", the part (1 first image,
// 2 second image), and the version where the program reads it (first image:
// bytes 8-13 chained; second image: the two bytes at length - 132).
[[nodiscard]] QByteArray makeFirmwareImage(int part, int version, int size = 4096);
// The part of an image (1 or 2), 0 when the bytes are not an image.
[[nodiscard]] int firmwareImagePart(const QByteArray &image);
// The version an image carries for its part, as the program reads it; -1
// when it is too short.
[[nodiscard]] int firmwareImageVersion(const QByteArray &image, int part);

// The chip's phonetic transcription of a piece of text, as it sends it in
// transcription mode: each word in phoneme codes and upper-case consonants,
// digits and ".,'/\+-" as they are, each word followed by one blank.
[[nodiscard]] QByteArray phoneticTranscription(const QByteArray &text);
// The audio the chip sends for one spoken word: 8-bit unsigned samples
// (silence 128), `count` of them, shaped by the word, pitch and volume.
[[nodiscard]] QByteArray speechSamples(const QByteArray &word, int pitch, int volume, int count);
// A chip PCM file in the marked form, as the chip stores a recording: the
// data gets the end mark (and a pad byte before it when its length is even).
[[nodiscard]] QByteArray makeMarkedPcm(int code, quint16 tag, const QByteArray &data);
// The files of a compiled sound library (".sfx", `tagged` for the newer
// flavour) as the chip stores them in its recording memory; 0, or 7 when the
// length, the block marker or the check sum is wrong.
[[nodiscard]] quint8 readSoundLibrary(const QByteArray &lib, bool tagged, QVector<RecFile> *files);

class Chip : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(Chip &, const Command &)>;
    // Takes the bytes that follow a command; returns false once it wants no
    // more (the byte it returns false for is consumed).
    using DataSink = std::function<bool(quint8)>;
    // The A/D converter's input: the sample of a channel (0-3) at its n-th
    // conversion.
    using AdcSource = std::function<quint8(int channel, qint64 n)>;

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

    // --- What a test observes. Each log keeps its latest million entries
    // or so (a long svchip session would grow them without end).
    [[nodiscard]] const QVector<LoggedByte> &byteLog() const { return mByteLog; }
    [[nodiscard]] const QVector<LoggedWrite> &writeLog() const { return mWriteLog; }
    [[nodiscard]] const QVector<Command> &commandLog() const { return mCommandLog; }
    // Every byte the chip took (accepted), in order.
    [[nodiscard]] QByteArray acceptedBytes() const;
    // Every byte the chip sent back, in order (whether the host heard it or not).
    [[nodiscard]] const QByteArray &sentBytes() const { return mSentLog; }
    // Clears the logs above and the speech, tone, sound and download logs.
    void clearLogs();

    [[nodiscard]] LinkStatus statusRecord() const;
    [[nodiscard]] ChipInfo infoRecord() const;

    // Speech. Text bytes spoken so far (acted on and paced out), the words
    // with the settings they were spoken with, the transcription sent for
    // "10?" and the audio sent for "11?".
    [[nodiscard]] bool speaking() const;
    [[nodiscard]] const QByteArray &spokenText() const { return mSpoken; }
    [[nodiscard]] const QVector<SpokenWord> &spokenWords() const { return mSpokenWords; }
    [[nodiscard]] const QByteArray &transcription() const { return mTranscription; }
    [[nodiscard]] const QByteArray &audioOut() const { return mAudioOut; }
    [[nodiscard]] bool transcribing() const { return mOutput == SpeechOutput::Transcribe; }
    [[nodiscard]] bool sendingAudio() const { return mOutput == SpeechOutput::Audio; }
    // Seconds a word of n bytes takes at the current speed.
    [[nodiscard]] double speechSeconds(int bytes) const;
    // Samples per second of the chip's audio (from the rate code).
    [[nodiscard]] int sampleRate() const;

    // Value of a voice setting or register by its command letter
    // ('v','s','p','x','a','f','e','r','o','g','n','b'); 0 when unknown.
    [[nodiscard]] int setting(char letter) const;
    void setSetting(char letter, int value);
    // POR bit 4 clear: the chip emulates the older model; bit 7 clear: module
    // compatibility. Native = neither (the wider ranges, the digit tone form).
    [[nodiscard]] bool emulation() const;
    [[nodiscard]] bool nativeMode() const;
    // The largest value a setting takes in the current mode (-1: no range).
    [[nodiscard]] int settingMax(char letter) const;

    // Downloads as stored.
    [[nodiscard]] const QByteArray &greeting() const { return mGreeting; }
    [[nodiscard]] const QByteArray &dictionary() const { return mDictionary; }
    [[nodiscard]] const QByteArray &soundLibrary() const { return mSoundLibrary; }
    // The firmware image last written for a part (1 or 2), as it arrived.
    [[nodiscard]] QByteArray firmwareImage(int part) const;
    // The payload of the last completed download, exactly as it arrived.
    [[nodiscard]] const QByteArray &lastDownload() const { return mLastDownload; }
    [[nodiscard]] int downloadCount() const { return mDownloadCount; }
    [[nodiscard]] int firmwareWrites() const { return mFirmwareWrites; }
    // Every transfer that reached its end, with its kind and result.
    [[nodiscard]] const QVector<Download> &downloads() const { return mDownloads; }

    // Tones and real-time sound.
    [[nodiscard]] const QVector<ToneEvent> &tones() const { return mTones; }
    [[nodiscard]] bool playingTones() const;
    [[nodiscard]] const QVector<PcmPlay> &pcmPlays() const { return mPcmPlays; }
    [[nodiscard]] bool playingPcm() const { return mPcm.active; }

    // The A/D converter: its settings value, whether it streams to the host,
    // the frames sent, and the external trigger.
    [[nodiscard]] int adcSettings() const { return mAdc.settings; }
    [[nodiscard]] bool adcRunning() const { return mAdc.running; }
    [[nodiscard]] qint64 adcFramesSent() const { return mAdc.frames; }
    void setAdcSource(AdcSource source);
    void triggerAdc();

    // Recording memory.
    [[nodiscard]] const QVector<RecFile> &recFiles() const { return mRecFiles; }
    // Stores a file (as if recorded); returns false when it does not fit.
    bool addRecFile(quint16 tag, const QByteArray &pcm);
    [[nodiscard]] bool recMemCorrupt() const { return mRecCorrupt; }
    void setRecMemCorrupt(bool corrupt) { mRecCorrupt = corrupt; }
    // A sound library the chip cannot use: free space reads -1.
    [[nodiscard]] bool recMemIncompatible() const { return mRecIncompatible; }
    void setRecMemIncompatible(bool on) { mRecIncompatible = on; }
    [[nodiscard]] qint32 recMemFree() const;
    [[nodiscard]] bool playingRecording() const { return mPlayEnd > 0; }
    [[nodiscard]] bool recording() const { return mRec.active; }

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
    // Takes the next `count` bytes equal to `byte` at `baud` although the
    // line runs at another speed (the NUL behind "7h" or "11?", the end
    // marks behind a real-time sound); `process` feeds them to the parser.
    void allowAtSpeed(int baud, quint8 byte, int count, bool process);
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
        enum Kind { Text, Marker, Raw } kind = Text;
        QByteArray bytes; // text to speak, the marker byte, or bytes to send as they are
        bool acted = false;
    };
    enum class SpeechOutput { Speak, Transcribe, Audio };

    void installCommands();
    void installToneCommands();
    void installRecorderCommands();
    void takeByte(quint8 b);
    void takeText(quint8 b);
    void runCommand(const Command &cmd);
    void actOnBuffer();
    void stopAll();
    void tick();
    void flushOut();
    void ensureTicking();
    void updateCts();
    [[nodiscard]] int bufferedBytes() const;
    [[nodiscard]] bool busy() const;
    // Voice settings and registers.
    void settingCommand(const Command &cmd);
    void registerCommand(const Command &cmd);
    void modeCommand(const Command &cmd);
    void loadVoice(int voice);
    void restoreDefaults();
    void clampToRanges();
    // Speech.
    void queryCommand(const Command &cmd);
    void startTranscription();
    void startAudio();
    void endSpeechOutput();
    void tickSpeech(double t);
    void speakWord(double t);
    // Tones and real-time sound.
    bool toneStreamByte(quint8 b);
    void playTone(const ToneEvent &tone);
    void startPcm(const Command &cmd);
    bool pcmByte(quint8 b);
    void tickPcm(double t);
    void stopPcm();
    // The A/D converter and recording.
    void adcCommand(const Command &cmd);
    void startRecording(int code, const QByteArray &tagDigits);
    void tickAdc(double t);
    void tickRecording(double t);
    void finishRecording(bool byCan);
    // Link exchanges.
    void beginTransfer(int id);
    bool transferByte(quint8 b);
    void paceTransferByte(bool stored);
    [[nodiscard]] int heldTransferBytes(double t) const;
    void finishTransfer();
    void storeDownload(const QByteArray &payload);
    void storeFirmware(const QByteArray &image);
    quint8 storeSoundLibrary(const QByteArray &lib, bool tagged);
    int findRecFile(qint32 number, bool byTag) const;
    void recMemCommand(int id);
    void logDownload(DownloadKind kind, const QByteArray &bytes, int result);

    ChipConfig mConfig;
    ChipFaults mFaults;
    QTimer mTimer;

    // Line.
    bool mDtr = false;
    bool mRts = false;
    int mBaud = 0;
    struct Grace
    {
        int baud = 0;
        quint8 byte = 0;
        int count = 0;
        bool process = false;
    } mGrace;
    double mCtsLowUntil = 0.0;
    bool mLastCts = false;

    // Parser.
    enum class ParseState { Text, Number, Data };
    ParseState mState = ParseState::Text;
    Command mCmd;
    QByteArray mNumberText;
    DataSink mSink;
    int mSinkGeneration = 0;
    QByteArray mEcho; // a command being echoed in transcription mode, with its data
    bool mEchoing = false;

    // Speech.
    std::deque<SpeechItem> mSpeech;
    SpeechOutput mOutput = SpeechOutput::Speak;
    int mBaudBeforeAudio = 0;
    bool mWordRunning = false;
    double mWordStart = 0.0;
    double mNextWordStart = -1.0; // where the next word starts when speech runs on
    QByteArray mWord;        // the word being spoken, with its leading blanks
    QByteArray mWordSamples; // its audio, in audio mode
    int mWordSamplesSent = 0;
    QByteArray mSpoken;
    QVector<SpokenWord> mSpokenWords;
    QByteArray mTranscription;
    QByteArray mAudioOut;

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

    // Settings and stored state.
    std::map<char, int> mSettings;
    std::map<char, Handler> mCommands;
    int mMode = 2;
    int mCharDelay = 0;
    int mTextDelay = 0;
    bool mDictEnabled = false;
    QByteArray mGreeting, mDictionary, mSoundLibrary, mLastDownload;
    QByteArray mFirmware[2];
    int mDownloadCount = 0;
    int mFirmwareWrites = 0;
    QVector<Download> mDownloads;
    QVector<RecFile> mRecFiles;
    bool mRecCorrupt = false;
    bool mRecIncompatible = false;
    double mPlayEnd = 0.0;

    // Tones: the music stream's record being read and its settings.
    QVector<ToneEvent> mTones;
    QByteArray mToneRecord;
    int mToneVolume = 255;
    int mToneTempo = 86;
    double mTonesPlayedUntil = 0.0;

    // Real-time sound.
    struct Pcm
    {
        bool active = false;  // the stream runs (data or play-out)
        bool dataEnded = false;
        int header = 0;       // 0 not known yet, 1 reading a marked header, 2 data
        int trailingMarks = 0; // end marks still to be passed over
        int baudBefore = 0;
        double playedUntil = 0.0; // clock time the samples taken so far are played
        double secondsPerByte = 0.0;
    } mPcm;
    QVector<PcmPlay> mPcmPlays;

    // The A/D converter.
    struct Adc
    {
        int settings = 0;
        bool running = false;   // streams frames to the host
        bool armed = false;     // feeds the recorder
        bool triggered = false;
        double next = 0.0;
        qint64 frames = 0;
        qint64 samples = 0;     // conversions made (the source's n)
    } mAdc;
    AdcSource mAdcSource;

    // A recording into the recording memory.
    struct Recording
    {
        bool active = false;
        int code = 0;
        quint16 tag = 0;
        QByteArray data;
        double start = 0.0;
        qint64 kilobytes = 0; // status 15 sent so far
        int scriptAt = 0;
        double nextScript = 0.0;
    } mRec;

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
    // A paced transfer (ChipConfig::storeBytesPerSecond): when each byte
    // the chip holds is stored, in order; the line is busy until
    // mLineFreeAt; a transfer whose end came before its bytes were stored
    // finishes at mFinishAt.
    std::deque<double> mHeld;
    double mLineFreeAt = 0.0;
    Transfer mFinishing;
    double mFinishAt = 0.0;

    QVector<LoggedByte> mByteLog;
    QVector<LoggedWrite> mWriteLog;
    QVector<Command> mCommandLog;
    QByteArray mSentLog;
};

} // namespace chipsim
