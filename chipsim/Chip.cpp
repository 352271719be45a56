#include "chipsim/Chip.h"

#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

namespace {


constexpr int TickMs = 2;
constexpr qsizetype LogLimit = 1000000;

template <typename T>
void trimLog(QVector<T> &log)
{
    if (log.size() > LogLimit)
        log.remove(0, log.size() - LogLimit / 2);
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
    mSettings.clear();
    for (const SettingSlot &s : SettingSlots)
        mSettings[s.letter] = s.initial;
    mMode = 2;
    mCharDelay = mTextDelay = 0;
    mDictEnabled = false;
    mBaud = mConfig.powerUpBaud;
    mSpeedBeforeReset = 0;
    mState = ParseState::Text;
    mSink = {};
    mSpeech.clear();
    mSpeakRunning = false;
    mOut.clear();
    mLater.clear();
    mXfer = {};
    mPlayEnd = 0.0;
    mCtsLowUntil = 0.0;
    updateCts();
}

void Chip::setConfig(const ChipConfig &config)
{
    mConfig = config;
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
    if (!mDtr || mFaults.ctsStuckLow || now() < mCtsLowUntil)
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
    if (!high && mCtsLowUntil > now())
        ensureTicking();
}

int Chip::bufferedBytes() const
{
    int n = 0;
    for (const SpeechItem &item : mSpeech)
        n += item.marker >= 0 ? 1 : int(item.text.size());
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
        // Only the byte right after "7h" may close its block.
        const int speedBeforeReset = mSpeedBeforeReset;
        mSpeedBeforeReset = 0;
        bool accepted = mDtr && !mFaults.silent;
        if (accepted) {
            if (mFaults.stuckAt9600) {
                accepted = hostBaud == 9600;
            } else if (mBaud == 0 && b == NUL && speedBeforeReset != 0) {
                accepted = hostBaud == speedBeforeReset;
            } else if (mBaud == 0) {
                // Waiting for the speed: a CR sets it, anything else is noise.
                accepted = b == CR;
                if (accepted)
                    mBaud = hostBaud;
            } else {
                accepted = hostBaud == mBaud;
            }
        }
        mByteLog.append({b, hostBaud, accepted, ctsSeen, t});
        if (accepted)
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
        const int generation = mSinkGeneration;
        const DataSink sink = mSink; // the sink may replace itself
        if ((!sink || !sink(b)) && generation == mSinkGeneration) {
            mSink = {};
            mState = ParseState::Text;
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
        break;
    }
    if (b < 0x20 && b != CR && b != '\n' && b != '\t')
        return;
    if (mSpeech.empty() || mSpeech.back().acted || mSpeech.back().marker >= 0)
        mSpeech.push_back(SpeechItem{});
    mSpeech.back().text.append(char(b));
    // A full buffer with no NUL in sight is spoken anyway, so the line
    // cannot lock up.
    if (bufferedBytes() >= mConfig.inputBufferSize)
        actOnBuffer();
}

void Chip::runCommand(const Command &cmd)
{
    mCommandLog.append(cmd);
    const auto it = mCommands.find(cmd.letter);
    if (it != mCommands.end() && it->second)
        it->second(*this, cmd);
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
    mSpeakRunning = false;
    mPlayEnd = 0.0;
    if (mState == ParseState::Data) {
        mSink = {};
        mState = ParseState::Text;
    }
    // An upload in flight stops: drop its frames not yet on the line.
    mOut.clear();
    updateCts();
}

void Chip::enqueueMarker(int byte)
{
    SpeechItem item;
    item.marker = byte;
    mSpeech.push_back(item);
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
        if (mSentLog.size() > LogLimit * 8)
            mSentLog.remove(0, mSentLog.size() - LogLimit * 4);
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

void Chip::tick()
{
    const double t = now();
    // Speech: acted items in order, text paced by the clock.
    while (!mSpeech.empty() && mSpeech.front().acted) {
        SpeechItem &item = mSpeech.front();
        if (item.marker >= 0) {
            send(QByteArray(1, char(item.marker)));
            mSpeech.pop_front();
            continue;
        }
        if (!mSpeakRunning) {
            mSpeakRunning = true;
            mSpeakStart = t;
        }
        const double length = item.text.size() * mConfig.secondsPerChar;
        if (t - mSpeakStart < length)
            break;
        mSpoken.append(item.text);
        mSpeakStart += length;
        mSpeech.pop_front();
        if (mSpeech.empty() || !mSpeech.front().acted || mSpeech.front().marker >= 0)
            mSpeakRunning = false;
    }
    while (!mLater.empty() && mLater.front().first <= t) {
        send(mLater.front().second);
        mLater.pop_front();
    }
    if (mPlayEnd > 0.0 && t >= mPlayEnd) {
        mPlayEnd = 0.0;
        sendFrame(0x80 | 35, QByteArray(1, 0));
    }
    // Replies: an upload goes out a frame per tick, the rest at once.
    flushOut();
    updateCts();
    const bool busy = !mOut.empty() || !mLater.empty() || speaking() || mPlayEnd > 0.0 || t < mCtsLowUntil;
    if (!busy)
        mTimer.stop();
}

} // namespace chipsim
