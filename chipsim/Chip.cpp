#include "chipsim/Chip.h"

#include "common/Clock.h"

#include <algorithm>

namespace chipsim {

namespace {

constexpr quint8 NUL = 0x00;
constexpr quint8 CMD = 0x01;
constexpr quint8 STX = 0x02;
constexpr quint8 CAN = 0x18;
constexpr quint8 CR = 0x0D;
constexpr quint8 RS = 0x1E;

constexpr int TickMs = 2;
constexpr qsizetype LogLimit = 1000000;

template <typename T>
void trimLog(QVector<T> &log)
{
    if (log.size() > LogLimit)
        log.remove(0, log.size() - LogLimit / 2);
}
constexpr int UploadFrameBytes = 128;

// Voice settings by command letter, with the status field each fills and
// its power-up value.
struct SettingSlot
{
    char letter;
    int offset;
    int initial;
};
constexpr SettingSlot SettingSlots[] = {
    {'v', LinkStatus::OffVolume, 5},    {'s', LinkStatus::OffSpeed, 5},
    {'p', LinkStatus::OffPitch, 50},    {'x', LinkStatus::OffExpression, 5},
    {'a', LinkStatus::OffArticulation, 5}, {'f', LinkStatus::OffFormant, 50},
    {'e', LinkStatus::OffTone, 1},      {'r', LinkStatus::OffReverb, 0},
    {'o', LinkStatus::OffVoice, 0},     {'g', LinkStatus::OffPOR, 0},
    {'n', LinkStatus::OffACR, 0},       {'b', LinkStatus::OffPFR, 0},
};

double now() { return vx::Clock::seconds(); }

quint32 get32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8) | (quint32(quint8(b[at + 2])) << 16) |
           (quint32(quint8(b[at + 3])) << 24);
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

// Sample rate of a chip PCM rate code (inverse of the converter's rule).
double rateOfCode(int code)
{
    return code > 0 && code < 155 ? 617000.0 / (155 - code) : 10500.0;
}

} // namespace

// --- Firmware images ---------------------------------------------------------

QByteArray makeFirmwareImage(int part, int version, int size)
{
    size = std::max(size, 160);
    QByteArray img(size, 0);
    for (int i = 16; i < size; ++i)
        img[i] = char((i * 37 + part) & 0xFF);
    img[0] = 'S';
    img[1] = 'V';
    img[2] = 'F';
    img[3] = 'W';
    img[4] = char(part);
    if (part == 1) {
        // Chained: stored byte 0 = plain ^ 128, byte i = plain_i ^ plain_{i-1}.
        quint8 plain[6] = {0x5A, 0x13, 0x77, 0x21, quint8(version & 0xFF), quint8((version >> 8) & 0xFF)};
        img[8] = char(plain[0] ^ 0x80);
        for (int i = 1; i < 6; ++i)
            img[8 + i] = char(plain[i] ^ plain[i - 1]);
    } else {
        const quint8 lo = quint8(version & 0xFF), hi = quint8((version >> 8) & 0xFF);
        img[size - 132] = char(lo ^ 0xFF);
        img[size - 131] = char(hi ^ lo);
    }
    return img;
}

int firmwareImagePart(const QByteArray &image)
{
    if (image.size() < 160 || !image.startsWith("SVFW"))
        return 0;
    const int part = quint8(image[4]);
    return part == 1 || part == 2 ? part : 0;
}

int firmwareImageVersion(const QByteArray &image, int part)
{
    if (part == 1) {
        if (image.size() < 14)
            return -1;
        quint8 u[6];
        u[0] = quint8(image[8]) ^ 0x80;
        for (int i = 1; i < 6; ++i)
            u[i] = quint8(image[8 + i]) ^ u[i - 1];
        return u[5] * 256 + u[4];
    }
    if (image.size() < 132)
        return -1;
    const quint8 u0 = quint8(image[image.size() - 132]) ^ 0xFF;
    const quint8 u1 = quint8(image[image.size() - 131]) ^ u0;
    return u1 * 256 + u0;
}

ChipConfig ChipConfig::forModel(const QString &model)
{
    ChipConfig c;
    if (model.compare(QStringLiteral("SV3410"), Qt::CaseInsensitive) == 0) {
        c.model = Model::SV3410;
        c.rateCode = 4;
        c.firmwareFirst = 0x0105;
        c.firmwareSecond = 0x0105;
        c.recMemBytes = 512 * 1024;
    }
    return c;
}

// --- The chip ----------------------------------------------------------------

Chip::Chip(const ChipConfig &config, QObject *parent) : QObject(parent), mConfig(config)
{
    mTimer.setInterval(TickMs);
    connect(&mTimer, &QTimer::timeout, this, &Chip::tick);
    installCommands();
    powerCycle();
}

Chip::~Chip() = default;

void Chip::installCommands()
{
    // Index marker: the number goes back when speech reaches it.
    setCommand('i', [](Chip &c, const Command &cmd) { c.enqueueMarker(cmd.number & 0xFF); });
    // "7h": forget the line speed and take the next CR's. A NUL right
    // behind it still belongs to the same block, at the old speed.
    setCommand('h', [](Chip &c, const Command &cmd) {
        if (cmd.number == 7 && c.mBaud != 0) {
            c.mSpeedBeforeReset = c.mBaud;
            c.setLineBaud(0);
        }
    });
    for (char r : {'g', 'n', 'b'})
        setCommand(r, [](Chip &c, const Command &cmd) { c.registerCommand(cmd); });
    for (char s : {'v', 's', 'p', 'x', 'a', 'f', 'e', 'r', 'o'})
        setCommand(s, [](Chip &c, const Command &cmd) {
            if (cmd.hasNumber)
                c.setSetting(cmd.letter, cmd.number);
        });
    setCommand('t', [](Chip &c, const Command &cmd) {
        c.mMode = 2;
        if (cmd.hasNumber)
            c.mTextDelay = cmd.number;
    });
    setCommand('c', [](Chip &c, const Command &cmd) {
        c.mMode = 0;
        if (cmd.hasNumber)
            c.mCharDelay = cmd.number;
    });
    setCommand('d', [](Chip &c, const Command &) { c.mMode = 1; });
    setCommand('u', [](Chip &c, const Command &) { c.mDictEnabled = true; });
    setCommand('@', [](Chip &c, const Command &) {
        for (const SettingSlot &s : SettingSlots)
            if (s.letter != 'g' && s.letter != 'n' && s.letter != 'b')
                c.mSettings[s.letter] = s.initial;
        c.mMode = 2;
        c.mTextDelay = c.mCharDelay = 0;
    });
    setCommand('?', [](Chip &c, const Command &cmd) { c.queryCommand(cmd); });
}

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

void Chip::registerCommand(const Command &cmd)
{
    if (!cmd.hasNumber)
        return;
    int &reg = mSettings[cmd.letter];
    const int bits = std::abs(cmd.number) & 0xFF;
    if (cmd.sign == '+')
        reg |= bits;
    else if (cmd.sign == '-')
        reg &= ~bits;
    else
        reg = cmd.number & 0xFF;
}

int Chip::setting(char letter) const
{
    const auto it = mSettings.find(letter);
    return it == mSettings.end() ? 0 : it->second;
}

void Chip::setSetting(char letter, int value)
{
    mSettings[letter] = value;
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

// --- Records -----------------------------------------------------------------

qint32 Chip::recMemFree() const
{
    if (mConfig.recMemBytes < 0)
        return -1;
    if (mRecCorrupt)
        return -2;
    qint64 used = 0;
    for (const RecFile &f : mRecFiles)
        used += f.pcm.size();
    return qint32(std::max<qint64>(0, mConfig.recMemBytes - used));
}

LinkStatus Chip::statusRecord() const
{
    LinkStatus s;
    s.set16(LinkStatus::OffMode, mMode);
    for (const SettingSlot &slot : SettingSlots)
        s.set16(slot.offset, setting(slot.letter));
    s.set16(LinkStatus::OffDictLoaded, mDictionary.isEmpty() ? 0 : 1);
    s.set16(LinkStatus::OffDictEnabled, mDictEnabled ? 1 : 0);
    s.set16(LinkStatus::OffInputBufferSize, mConfig.inputBufferSize);
    s.set32(LinkStatus::OffRecMemBytes, mConfig.recMemBytes);
    s.set16(LinkStatus::OffCharDelay, mCharDelay);
    s.set16(LinkStatus::OffTextDelay, mTextDelay);
    s.set32(LinkStatus::OffFreeBytes, recMemFree());
    s.set32(LinkStatus::OffFileCount, mConfig.recMemBytes < 0 ? 0 : int(mRecFiles.size()));
    return s;
}

ChipInfo Chip::infoRecord() const
{
    ChipInfo info;
    info.setModuleCode(mConfig.moduleCode);
    info.setModelAndRate(mConfig.model == Model::SV3420 ? 1 : 0, mConfig.rateCode);
    info.setFirmware(mConfig.firmwareFirst, mConfig.firmwareSecond);
    return info;
}

// --- Link exchanges (link/PROTOCOL.md) -----------------------------------------

void Chip::queryCommand(const Command &cmd)
{
    const int id = cmd.number;
    switch (id) {
    case 6: {
        const LinkStatus s = statusRecord();
        sendFrame(6, QByteArray(reinterpret_cast<const char *>(s.bytes.data()), LinkStatus::Size));
        break;
    }
    case 12: {
        const ChipInfo i = infoRecord();
        sendFrame(12, QByteArray(reinterpret_cast<const char *>(i.bytes.data()), ChipInfo::Size));
        break;
    }
    case 31:
    case 32:
        beginTransfer(id);
        break;
    case 33:
    case 34:
    case 35: {
        mXfer = {};
        mXfer.id = id;
        takeData([this](quint8 b) {
            mXfer.header.append(char(b));
            if (mXfer.header.size() < 5)
                return true;
            recMemCommand(mXfer.id);
            return false;
        });
        break;
    }
    case 36:
    case 37:
        recMemCommand(id);
        break;
    default:
        break; // other queries belong to features this model does not run
    }
}

void Chip::beginTransfer(int id)
{
    mXfer = {};
    mXfer.id = id;
    takeData([this](quint8 b) { return transferByte(b); });
}

bool Chip::transferByte(quint8 b)
{
    Transfer &x = mXfer;
    switch (x.stage) {
    case 0:
        x.header.append(char(b));
        if (x.header.size() == 4) {
            x.total = get32(x.header, 0);
            x.stage = 1;
        }
        return true;
    case 1:
        if (b == 0) {
            finishTransfer();
            return false;
        }
        if (b > 128) { // 0xFF abandons; anything else is no block
            mXfer = {};
            return false;
        }
        x.blockLeft = b;
        x.stage = 2;
        return true;
    default:
        if (!x.failed) {
            x.payload.append(char(b));
            const int pct = mFaults.failTransferAtPercent;
            if (pct >= 0 && x.total > 0 && qint64(x.payload.size()) * 100 >= qint64(pct) * x.total) {
                x.failed = true;
                sendFrame(quint8(x.id), QByteArray(1, 1));
            }
        }
        if (--x.blockLeft == 0) {
            x.stage = 1;
            // Storing the block takes time: CTS is off meanwhile.
            if (mConfig.storeBytesPerSecond > 0) {
                mCtsLowUntil = std::max(mCtsLowUntil, now() + 128.0 / mConfig.storeBytesPerSecond);
                ensureTicking();
            }
        }
        return true;
    }
}

void Chip::finishTransfer()
{
    const Transfer x = mXfer;
    mXfer = {};
    if (x.failed)
        return; // already reported
    if (quint32(x.payload.size()) != x.total) {
        sendFrame(quint8(x.id), QByteArray(1, 1));
        return;
    }
    if (x.id == 31) {
        storeDownload(x.payload);
        return;
    }
    storeFirmware(x.payload);
}

void Chip::storeDownload(const QByteArray &payload)
{
    // Which stream it is: the first "<n>w" command near the start names
    // greetings (255), dictionaries (247) and sound libraries (100, 223); a
    // marked chip PCM file carries 0xDBC0 at offset 8.
    int kind = 0;
    for (int i = 0; i < std::min<int>(40, int(payload.size())); ++i) {
        if (quint8(payload[i]) != CMD)
            continue;
        int j = i + 1;
        QByteArray digits;
        while (j < payload.size() && payload[j] >= '0' && payload[j] <= '9')
            digits.append(payload[j++]);
        if (j < payload.size() && (payload[j] == 'w' || payload[j] == 'W') && !digits.isEmpty()) {
            kind = digits.toInt();
            break;
        }
    }
    quint8 code = 0;
    if (kind == 255) {
        mGreeting = payload;
    } else if (kind == 247) {
        mDictionary = payload;
    } else if (kind == 100 || kind == 223) {
        code = storeSoundLibrary(payload, kind == 223);
        if (code == 0)
            mSoundLibrary = payload;
    } else if (payload.size() >= 16 && quint8(payload[8]) == 0xC0 && quint8(payload[9]) == 0xDB) {
        const quint16 tag = quint16(quint8(payload[14]) | (quint8(payload[15]) << 8));
        if (mConfig.recMemBytes < 0)
            code = 6;
        else if (mRecCorrupt)
            code = 4;
        else if (!addRecFile(tag, payload))
            code = 5;
    }
    if (code == 0) {
        mLastDownload = payload;
        ++mDownloadCount;
    }
    sendFrame(31, QByteArray(1, char(code)));
}

quint8 Chip::storeSoundLibrary(const QByteArray &lib, bool tagged)
{
    // Header 29 bytes, data (from the block marker to the pad byte), then a
    // 16-bit sum of every byte from offset 9 to the pad byte.
    if (mConfig.recMemBytes < 0)
        return 6;
    if (tagged && mConfig.model == Model::SV3410)
        return 8;
    if (lib.size() < 35)
        return 7;
    const quint32 length = get32(lib, 9);
    if (qint64(length) + 31 != lib.size() || quint8(lib[29]) != 0xEC || quint8(lib[30]) != 0xDB)
        return 7;
    quint16 sum = 0;
    for (qsizetype i = 9; i < lib.size() - 2; ++i)
        sum = quint16(sum + quint8(lib[i]));
    if (sum != quint16(quint8(lib[lib.size() - 2]) | (quint8(lib[lib.size() - 1]) << 8)))
        return 7;
    // The entries become the recording memory's files.
    QVector<RecFile> files;
    qint64 used = 0;
    qsizetype at = 33;
    const qsizetype end = 29 + length;
    const int head = tagged ? 6 : 4;
    while (at + head <= end) {
        const int len = quint8(lib[at]) | (quint8(lib[at + 1]) << 8) | (quint8(lib[at + 2]) << 16);
        if (at + head + len > end)
            break;
        const quint8 rate = quint8(lib[at + 3]);
        RecFile f;
        if (tagged) {
            f.tag = quint16(quint8(lib[at + 4]) | (quint8(lib[at + 5]) << 8));
            f.pcm = QByteArray("\r\r\x1e\x01", 4) + QByteArray::number((rate & 0x7F) % 100).rightJustified(2, '0') +
                    ((rate & 0x80) ? '%' : '#') + '\0' + char(0xC0) + char(0xDB) + lib.mid(at, 4) + lib.mid(at + 4, 2) +
                    lib.mid(at + 6, len);
        } else {
            f.pcm = lib.mid(at, 4 + len);
        }
        used += f.pcm.size();
        files.append(f);
        at += head + len;
    }
    if (used > mConfig.recMemBytes)
        return 5;
    mRecFiles = files;
    mRecCorrupt = false;
    return 0;
}

void Chip::storeFirmware(const QByteArray &image)
{
    const int part = firmwareImagePart(image);
    if (part == 0) {
        sendFrame(32, QByteArray(1, 2));
        return;
    }
    const int version = firmwareImageVersion(image, part);
    if (part == 1)
        mConfig.firmwareFirst = version;
    else
        mConfig.firmwareSecond = version;
    ++mFirmwareWrites;
    mLastDownload = image;
    sendFrame(32, QByteArray(1, 0));
    // The chip restarts: CTS low meanwhile. It keeps its speed, except that
    // the synthesizer boards come back at 9600 after the second image (the
    // host then sends "7h" at 9600 so they find the speed again).
    mCtsLowUntil = now() + mConfig.flashSeconds;
    if (part == 2 && (mConfig.moduleCode == 4 || mConfig.moduleCode == 7))
        mBaud = 9600;
    updateCts();
    ensureTicking();
}

bool Chip::addRecFile(quint16 tag, const QByteArray &pcm)
{
    if (mConfig.recMemBytes < 0)
        return false;
    mRecFiles.erase(std::remove_if(mRecFiles.begin(), mRecFiles.end(), [tag](const RecFile &f) { return f.tag == tag; }),
                    mRecFiles.end());
    qint64 used = 0;
    for (const RecFile &f : mRecFiles)
        used += f.pcm.size();
    if (used + pcm.size() > mConfig.recMemBytes)
        return false;
    mRecFiles.append({tag, pcm});
    return true;
}

int Chip::findRecFile(qint32 number, bool byTag) const
{
    if (!byTag)
        return number >= 0 && number < mRecFiles.size() ? number : -1;
    for (int i = 0; i < mRecFiles.size(); ++i)
        if (mRecFiles[i].tag == number)
            return i;
    return -1;
}

void Chip::recMemCommand(int id)
{
    const bool byTag = !mXfer.header.isEmpty() && (quint8(mXfer.header[0]) & 1);
    const qint32 number = mXfer.header.size() >= 5 ? qint32(get32(mXfer.header, 1)) : 0;
    mXfer = {};
    auto reply = [this, id](quint8 code) { sendFrame(quint8(id), QByteArray(1, char(code))); };
    if (mConfig.recMemBytes < 0)
        return reply(6);
    if (id == 36 || id == 37) {
        // Erasing and repairing take a while; the result comes at the end.
        if (id == 36)
            mRecFiles.clear();
        mRecCorrupt = false;
        sendLater(mConfig.recMemWorkSeconds, frame(quint8(id), QByteArray(1, 0)));
        return;
    }
    if (mRecCorrupt)
        return reply(4);
    const int index = findRecFile(number, byTag);
    if (index < 0)
        return reply(3);
    const QByteArray pcm = mRecFiles[index].pcm;
    if (id == 34) {
        mRecFiles.removeAt(index);
        return reply(0);
    }
    if (id == 35) {
        // Play time: the data at the file's sample rate.
        const bool marked = pcm.size() >= 16 && quint8(pcm[8]) == 0xC0 && quint8(pcm[9]) == 0xDB;
        const int code = (marked ? quint8(pcm[13]) : (pcm.size() > 3 ? quint8(pcm[3]) : 0)) & 0x7F;
        const double seconds = std::max(0, int(pcm.size()) - (marked ? 16 : 4)) / rateOfCode(code);
        sendFrame(35, QByteArray(1, 0) + le32(quint32(seconds * 1000.0)));
        mPlayEnd = now() + std::max(seconds, 0.001);
        ensureTicking();
        return;
    }
    // 33: the file in frames behind its length.
    sendFrame(33, QByteArray(1, 0) + le32(quint32(pcm.size())));
    mXfer.id = 33; // paces the frames on the line
    for (int at = 0; at < pcm.size(); at += UploadFrameBytes)
        sendFrame(0x80 | 33, pcm.mid(at, UploadFrameBytes));
}

} // namespace chipsim
