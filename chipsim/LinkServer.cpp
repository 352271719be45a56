#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

namespace {

// A record's bytes as they go in a frame.
template <typename Record>
QByteArray recordBytes(const Record &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes.data()), qsizetype(record.bytes.size()));
}

} // namespace

// --- Link exchanges (link/PROTOCOL.md) -----------------------------------------

void Chip::queryCommand(const Command &cmd)
{
    const int id = cmd.number;
    switch (id) {
    case 10: // the transcription of what follows, until CAN
        startTranscription();
        break;
    case 11: // the voice as samples, until CAN
        startAudio();
        break;
    case vx::proto::QStatus:
        sendFrame(vx::proto::QStatus, recordBytes(statusRecord()));
        break;
    case vx::proto::QInfo:
        sendFrame(vx::proto::QInfo, recordBytes(infoRecord()));
        break;
    case vx::proto::QDownload:
    case vx::proto::QFirmware:
        beginTransfer(id);
        break;
    case vx::proto::QUpload:
    case vx::proto::QDelete:
    case vx::proto::QPlay: {
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
    case vx::proto::QInit:
    case vx::proto::QRepair:
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
        paceTransferByte(false);
        x.header.append(char(b));
        if (x.header.size() == 4) {
            x.total = get32(x.header, 0);
            x.stage = 1;
        }
        return true;
    case 1:
        if (b == 0) {
            // The chip answers once it has stored all it holds.
            const double storedAt = mHeld.empty() ? 0.0 : mHeld.back();
            mFinishing = x;
            mXfer = {};
            if (storedAt > now()) {
                mFinishAt = storedAt;
                ensureTicking();
            } else {
                finishTransfer();
            }
            return false;
        }
        if (b > vx::proto::BlockBytes) { // 0xFF abandons; anything else is no block
            mXfer = {};
            mHeld.clear(); // what it held is dropped too
            return false;
        }
        paceTransferByte(false);
        x.blockLeft = b;
        x.stage = 2;
        return true;
    default:
        paceTransferByte(true);
        if (!x.failed) {
            x.payload.append(char(b));
            const int pct = mFaults.failTransferAtPercent;
            if (pct >= 0 && x.total > 0 && qint64(x.payload.size()) * 100 >= qint64(pct) * x.total) {
                x.failed = true;
                sendFrame(quint8(x.id), QByteArray(1, 1));
            }
        }
        if (--x.blockLeft == 0)
            x.stage = 1;
        return true;
    }
}

// A paced transfer: each byte comes after the one before it is off the line
// (and its own line time, with transferLineTime), waits in the input buffer
// and, when it is data, takes its storing time after the byte before it.
void Chip::paceTransferByte(bool stored)
{
    const double rate = mConfig.storeBytesPerSecond;
    if (rate <= 0)
        return;
    const double t = now();
    double arrives = std::max(mLineFreeAt, t);
    if (mConfig.transferLineTime && lineBaud() > 0)
        arrives += 10.0 / lineBaud();
    mLineFreeAt = arrives;
    const double before = mHeld.empty() ? 0.0 : mHeld.back();
    mHeld.push_back(std::max(before, arrives) + (stored ? 1.0 / rate : 0.0));
    ensureTicking();
}

int Chip::heldTransferBytes(double t) const
{
    // Store times only grow, so the bytes still held are a tail.
    return int(mHeld.end() - std::upper_bound(mHeld.begin(), mHeld.end(), t));
}

void Chip::finishTransfer()
{
    const Transfer x = mFinishing;
    mFinishing = {};
    mFinishAt = 0.0;
    if (x.failed)
        return; // already reported
    if (quint32(x.payload.size()) != x.total) {
        logDownload(x.id == vx::proto::QFirmware ? DownloadKind::Firmware : DownloadKind::Other, x.payload, 1);
        sendFrame(quint8(x.id), QByteArray(1, 1));
        return;
    }
    if (x.id == vx::proto::QDownload) {
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
    DownloadKind what = DownloadKind::Other;
    if (kind == 255) {
        what = DownloadKind::Greeting;
        mGreeting = payload;
    } else if (kind == 247) {
        what = DownloadKind::Dictionary;
        mDictionary = payload;
    } else if (kind == 100 || kind == 223) {
        what = DownloadKind::SoundLibrary;
        code = storeSoundLibrary(payload, kind == 223);
        if (code == 0)
            mSoundLibrary = payload;
    } else if (payload.size() >= 16 && quint8(payload[8]) == 0xC0 && quint8(payload[9]) == 0xDB) {
        what = DownloadKind::ChipPcm;
        const quint16 tag = quint16(quint8(payload[14]) | (quint8(payload[15]) << 8));
        if (mConfig.model == Model::SV3410)
            code = 9; // it plays chip PCM data in real time only
        else if (mConfig.recMemBytes < 0)
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
    logDownload(what, payload, code);
    sendFrame(vx::proto::QDownload, QByteArray(1, char(code)));
}

quint8 readSoundLibrary(const QByteArray &lib, bool tagged, QVector<RecFile> *files)
{
    // Header 29 bytes, data (from the block marker to the pad byte), then a
    // 16-bit sum of every byte from offset 9 to the pad byte.
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
    files->clear();
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
        files->append(f);
        at += head + len;
    }
    return 0;
}

quint8 Chip::storeSoundLibrary(const QByteArray &lib, bool tagged)
{
    if (mConfig.recMemBytes < 0)
        return 6;
    if (tagged && mConfig.model == Model::SV3410)
        return 8;
    QVector<RecFile> files;
    if (const quint8 damaged = readSoundLibrary(lib, tagged, &files))
        return damaged;
    qint64 used = 0;
    for (const RecFile &f : files)
        used += f.pcm.size();
    if (used > mConfig.recMemBytes)
        return 5;
    mRecFiles = files;
    mRecCorrupt = mRecIncompatible = false;
    return 0;
}

void Chip::storeFirmware(const QByteArray &image)
{
    const int part = firmwareImagePart(image);
    logDownload(DownloadKind::Firmware, image, part == 0 ? 2 : 0);
    if (part == 0) {
        sendFrame(vx::proto::QFirmware, QByteArray(1, 2));
        return;
    }
    mFirmware[part - 1] = image;
    const int version = firmwareImageVersion(image, part);
    if (part == 1)
        mConfig.firmwareFirst = version;
    else
        mConfig.firmwareSecond = version;
    ++mFirmwareWrites;
    mLastDownload = image;
    sendFrame(vx::proto::QFirmware, QByteArray(1, 0));
    // The chip restarts: CTS low meanwhile. It keeps its speed, except that
    // the synthesizer boards come back at 9600 after the second image (the
    // host then sends "7h" at 9600 so they find the speed again).
    mCtsLowUntil = now() + mConfig.flashSeconds;
    if (part == 2 && (mConfig.moduleCode == 4 || mConfig.moduleCode == 7))
        mBaud = 9600;
    updateCts();
    ensureTicking();
}

void Chip::logDownload(DownloadKind kind, const QByteArray &bytes, int result)
{
    mDownloads.append({kind, bytes, result});
}

QByteArray Chip::firmwareImage(int part) const
{
    return part == 1 || part == 2 ? mFirmware[part - 1] : QByteArray();
}

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

double ChipConfig::defaultSecondsPerChar()
{
    constexpr double kChipPace = 0.07;
    bool ok = false;
    const double pace = qEnvironmentVariable("VOXMERE_SIM_PACE").toDouble(&ok);
    return ok && pace >= 0.0 && pace <= 60.0 ? pace : kChipPace;
}

} // namespace chipsim
