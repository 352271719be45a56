#include "chipsim/Chip.h"

#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

namespace {


constexpr int TickMs = 2;
constexpr qsizetype LogLimit = 1000000;
constexpr double PcmBufferSeconds = 0.01;
constexpr double ToneQueueSeconds = 0.0; // the tone generator holds one tone

template <typename T>
void trimLog(QVector<T> &log)
{
    if (log.size() > LogLimit)
        log.remove(0, log.size() - LogLimit / 2);
}

void trimBytes(QByteArray &log)
{
    if (log.size() > LogLimit * 8)
        log.remove(0, log.size() - LogLimit * 4);
}






} // namespace

// --- The chip ----------------------------------------------------------------

Chip::Chip(const ChipConfig &config, QObject *parent) : QObject(parent), mConfig(config)
{
    mTimer.setInterval(TickMs);
    connect(&mTimer, &QTimer::timeout, this, &Chip::tick);
    installCommands();
    powerCycle();
}

Chip::~Chip() = default;

void Chip::setCommand(char letter, Handler handler)
{
    mCommands[letter] = std::move(handler);
}

void Chip::powerCycle()
{
    restoreDefaults();
    mBaud = mConfig.powerUpBaud;
    mGrace = {};
    mState = ParseState::Text;
    mSink = {};
    mEchoing = false;
    mSpeech.clear();
    mWordRunning = false;
    mNextWordStart = -1.0;
    mOutput = SpeechOutput::Speak;
    mOut.clear();
    mLater.clear();
    mXfer = {};
    mHeld.clear();
    mLineFreeAt = 0.0;
    mFinishing = {};
    mFinishAt = 0.0;
    mPlayEnd = 0.0;
    mToneRecord.clear();
    mTonesPlayedUntil = 0.0;
    mPcm = {};
    mAdc = {};
    mRec = {};
    mCtsLowUntil = 0.0;
    // A reset speaks the stored greeting: its settings, then its text.
    const qsizetype at = mGreeting.indexOf("255w");
    if (at >= 0) {
        for (char b : mGreeting.mid(at + 4))
            takeByte(quint8(b));
        actOnBuffer();
    }
    updateCts();
}

void Chip::setConfig(const ChipConfig &config)
{
    const bool otherModel = config.model != mConfig.model;
    mConfig = config;
    if (otherModel)
        restoreDefaults(); // another chip: its own registers and ranges
    if (mBaud == 0)
        mBaud = config.powerUpBaud;
    updateCts();
}

void Chip::setFaults(const ChipFaults &faults)
{
    mFaults = faults;
    updateCts();
}

int Chip::lineBaud() const
{
    return mFaults.stuckAt9600 ? 9600 : mBaud;
}

void Chip::setLineBaud(int baud)
{
    mBaud = baud;
}

void Chip::setDtr(bool on)
{
    mDtr = on;
    updateCts();
}

void Chip::setRts(bool on)
{
    mRts = on;
}

bool Chip::cts() const
{
    const double t = now();
    if (!mDtr || mFaults.ctsStuckLow || t < mCtsLowUntil)
        return false;
    // A real-time sound: the chip takes data while its play buffer has
    // room, and none while the rest plays out.
    if (mPcm.active && (mPcm.dataEnded || mPcm.playedUntil - t > PcmBufferSeconds))
        return false;
    if (mTonesPlayedUntil - t > ToneQueueSeconds)
        return false;
    // A paced transfer: room for a whole block, or no CTS.
    const int held = heldTransferBytes(t);
    if (held > 0 && held + 1 + vx::proto::BlockBytes > mConfig.inputBufferSize)
        return false;
    return bufferedBytes() < mConfig.inputBufferSize;
}

void Chip::updateCts()
{
    const bool high = cts();
    if (high != mLastCts) {
        mLastCts = high;
        emit ctsChanged(high);
    }
    if (!high && (mCtsLowUntil > now() || mPcm.active || playingTones() || !mHeld.empty()))
        ensureTicking();
}

int Chip::bufferedBytes() const
{
    int n = 0;
    for (const SpeechItem &item : mSpeech)
        n += int(item.bytes.size());
    if (mWordRunning)
        n += int(mWord.size()); // a word leaves the buffer once spoken
    return n;
}

// --- Input -------------------------------------------------------------------

void Chip::receive(const QByteArray &bytes, int hostBaud)
{
    const bool ctsSeen = cts();
    const double t = now();
    mWriteLog.append({bytes, hostBaud, ctsSeen, t});
    for (char ch : bytes) {
        const quint8 b = quint8(ch);
        bool accepted = mDtr && !mFaults.silent;
        bool process = true;
        if (accepted) {
            const Grace grace = mGrace;
            if (grace.count > 0 && b == grace.byte && hostBaud == grace.baud && !mFaults.stuckAt9600) {
                --mGrace.count;
                process = grace.process;
            } else {
                mGrace = {}; // only the very next bytes may use it
                if (mFaults.stuckAt9600) {
                    accepted = hostBaud == 9600;
                } else if (mBaud == 0) {
                    // Waiting for the speed: a CR sets it, anything else is noise.
                    accepted = b == CR;
                    if (accepted)
                        mBaud = hostBaud;
                } else {
                    accepted = hostBaud == mBaud;
                }
            }
        }
        mByteLog.append({b, hostBaud, accepted, ctsSeen, t});
        if (accepted && process)
            takeByte(b);
    }
    trimLog(mByteLog);
    trimLog(mWriteLog);
    trimLog(mCommandLog);
    updateCts();
    ensureTicking();
}

QByteArray Chip::acceptedBytes() const
{
    QByteArray out;
    for (const LoggedByte &b : mByteLog)
        if (b.accepted)
            out.append(char(b.byte));
    return out;
}

void Chip::clearLogs()
{
    mByteLog.clear();
    mWriteLog.clear();
    mCommandLog.clear();
    mSentLog.clear();
    mSpoken.clear();
    mSpokenWords.clear();
    mTranscription.clear();
    mAudioOut.clear();
    mTones.clear();
    mPcmPlays.clear();
    mDownloads.clear();
}

void Chip::allowAtSpeed(int baud, quint8 byte, int count, bool process)
{
    mGrace = {baud, byte, count, process};
}

void Chip::takeData(DataSink sink)
{
    mSink = std::move(sink);
    ++mSinkGeneration;
    mState = ParseState::Data;
}

void Chip::takeByte(quint8 b)
{
    switch (mState) {
    case ParseState::Data: {
        if (mEchoing)
            mEcho.append(char(b));
        const int generation = mSinkGeneration;
        const DataSink sink = mSink; // the sink may replace itself
        if ((!sink || !sink(b)) && generation == mSinkGeneration) {
            mSink = {};
            mState = ParseState::Text;
            if (mEchoing) {
                mEchoing = false;
                mSpeech.push_back({SpeechItem::Raw, '\xFD' + mEcho + '\xFD', false});
            }
        }
        return;
    }
    case ParseState::Number:
        if ((b >= '0' && b <= '9') || ((b == '+' || b == '-') && mNumberText.isEmpty())) {
            mNumberText.append(char(b));
            return;
        }
        mState = ParseState::Text;
        if (b == NUL || b == CAN || b == CMD || b == CR) {
            // A command cut short: the control byte keeps its own meaning.
            break;
        }
        mCmd = Command{};
        mCmd.letter = char(b);
        if (!mNumberText.isEmpty() && (mNumberText[0] == '+' || mNumberText[0] == '-'))
            mCmd.sign = mNumberText[0];
        mCmd.number = mNumberText.toInt(&mCmd.hasNumber);
        if (!mCmd.hasNumber)
            mCmd.number = 0;
        runCommand(mCmd);
        return;
    case ParseState::Text:
        break;
    }

    switch (b) {
    case CMD:
        mState = ParseState::Number;
        mNumberText.clear();
        return;
    case NUL:
        actOnBuffer();
        return;
    case CAN:
        stopAll();
        return;
    case RS:
        return; // the store prefix of downloadable streams: nothing to do live
    default:
        takeText(b);
    }
}

void Chip::takeText(quint8 b)
{
    if (b < 0x20 && b != CR && b != '\n' && b != '\t')
        return;
    if (b == 0x80 && mPcm.trailingMarks > 0) {
        --mPcm.trailingMarks; // the end marks behind a real-time sound
        return;
    }
    mPcm.trailingMarks = 0;
    if (mSpeech.empty() || mSpeech.back().acted || mSpeech.back().kind != SpeechItem::Text)
        mSpeech.push_back(SpeechItem{});
    mSpeech.back().bytes.append(char(b));
    // A full buffer with no NUL in sight is spoken anyway, so the line
    // cannot lock up.
    if (bufferedBytes() >= mConfig.inputBufferSize)
        actOnBuffer();
}

void Chip::runCommand(const Command &cmd)
{
    mCommandLog.append(cmd);
    // In transcription mode the chip echoes each command between 0xFD
    // brackets, with the data bytes it took.
    const bool echo = transcribing() && cmd.letter != '?';
    const QByteArray text = mNumberText + cmd.letter;
    const int generation = mSinkGeneration;
    const auto it = mCommands.find(cmd.letter);
    if (it != mCommands.end() && it->second)
        it->second(*this, cmd);
    if (!echo)
        return;
    mEcho = text;
    if (mState == ParseState::Data && mSinkGeneration != generation)
        mEchoing = true;
    else
        mSpeech.push_back({SpeechItem::Raw, '\xFD' + text + '\xFD', false});
}

void Chip::actOnBuffer()
{
    for (SpeechItem &item : mSpeech)
        item.acted = true;
    ensureTicking();
}

void Chip::stopAll()
{
    mSpeech.clear();
    mWordRunning = false;
    mNextWordStart = -1.0;
    mPlayEnd = 0.0;
    if (mState == ParseState::Data) {
        mSink = {};
        mState = ParseState::Text;
    }
    mEchoing = false;
    mToneRecord.clear();
    mTonesPlayedUntil = 0.0;
    // An upload in flight stops: drop its frames not yet on the line.
    mOut.clear();
    endSpeechOutput();
    stopPcm();
    if (mRec.active)
        finishRecording(true);
    mAdc.running = false;
    mAdc.armed = false;
    updateCts();
}

void Chip::enqueueMarker(int byte)
{
    mSpeech.push_back({SpeechItem::Marker, QByteArray(1, char(byte)), false});
}

// --- Output and time ---------------------------------------------------------

void Chip::send(const QByteArray &bytes)
{
    if (mFaults.silent)
        return;
    const int baud = lineBaud() ? lineBaud() : (mConfig.powerUpBaud ? mConfig.powerUpBaud : 9600);
    mOut.push_back({mFaults.junkBeforeReply + bytes, baud});
    // Replies go out at the host's next turn of the event loop, however
    // fast or slow the clock runs.
    if (!mFlushPosted) {
        mFlushPosted = true;
        QMetaObject::invokeMethod(this, &Chip::flushOut, Qt::QueuedConnection);
    }
    ensureTicking();
}

void Chip::sendFrame(quint8 id, const QByteArray &payload)
{
    send(frame(id, payload));
}

void Chip::sendLater(double seconds, const QByteArray &bytes)
{
    mLater.emplace_back(now() + seconds, bytes);
    ensureTicking();
}

QByteArray Chip::frame(quint8 id, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(STX));
    f.append(char(id));
    f.append(char(payload.size()));
    f.append(payload);
    quint8 sum = quint8(id + payload.size());
    for (char c : payload)
        sum = quint8(sum + quint8(c));
    f.append(char(sum));
    return f;
}

void Chip::ensureTicking()
{
    if (!mTimer.isActive())
        mTimer.start();
}

void Chip::flushOut()
{
    mFlushPosted = false;
    while (!mOut.empty()) {
        const OutChunk chunk = mOut.front();
        mOut.pop_front();
        mSentLog.append(chunk.bytes);
        trimBytes(mSentLog);
        emit transmit(chunk.bytes, chunk.baud);
        // An upload goes out a frame per turn, so a CAN can stop it.
        if (mXfer.id == 33) {
            if (mOut.empty())
                mXfer = {};
            break;
        }
    }
}

bool Chip::speaking() const
{
    return std::any_of(mSpeech.begin(), mSpeech.end(), [](const SpeechItem &i) { return i.acted; });
}

bool Chip::busy() const
{
    return !mOut.empty() || !mLater.empty() || speaking() || mPlayEnd > 0.0 || now() < mCtsLowUntil || mPcm.active ||
           mAdc.running || mRec.active || playingTones() || !mHeld.empty() || mFinishAt > 0.0;
}

bool Chip::playingTones() const
{
    return now() < mTonesPlayedUntil;
}

void Chip::tick()
{
    const double t = now();
    tickSpeech(t);
    // A long svchip session must not grow these without end.
    trimBytes(mSpoken);
    trimBytes(mAudioOut);
    trimBytes(mTranscription);
    trimLog(mSpokenWords);
    trimLog(mTones);
    while (!mLater.empty() && mLater.front().first <= t) {
        send(mLater.front().second);
        mLater.pop_front();
    }
    if (mPlayEnd > 0.0 && t >= mPlayEnd) {
        mPlayEnd = 0.0;
        sendFrame(0x80 | 35, QByteArray(1, 0));
    }
    tickPcm(t);
    tickAdc(t);
    tickRecording(t);
    while (!mHeld.empty() && mHeld.front() <= t)
        mHeld.pop_front();
    if (mFinishAt > 0.0 && t >= mFinishAt)
        finishTransfer();
    // Replies: an upload goes out a frame per tick, the rest at once.
    flushOut();
    updateCts();
    if (!busy())
        mTimer.stop();
}

} // namespace chipsim
