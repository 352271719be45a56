#include "link/cTolvane.h"

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/SafeFile.h"
#include "link/DownloadCheck.h"
#include "link/Protocol.h"
#include "link/ReplyParser.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

using namespace vx::proto;

constexpr char AbandonByte = char(AbandonBlock);

QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    vx::putLe32(reinterpret_cast<std::uint8_t *>(b.data()), v);
    return b;
}

quint32 get32(const QByteArray &b, int at)
{
    return vx::readLe32({reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())},
                        std::size_t(at));
}

QByteArray query(int number)
{
    return QByteArray(1, char(CMD)) + QByteArray::number(number) + '?';
}

// The arguments of the recording-memory queries: flags, then the number.
QByteArray fileArgs(qint32 Number, bool ByTag)
{
    return QByteArray(1, char(ByTag ? 1 : 0)) + le32(quint32(Number));
}

QString chipErrorText(int code)
{
    switch (code) {
    case 1: return QStringLiteral("The transfer to the chip failed.");
    case 2: return QStringLiteral("The file is not a chipset image.");
    case 3: return QStringLiteral("There is no such file in the recording memory.");
    case 4: return QStringLiteral("The recording memory is corrupt.");
    case 5: return QStringLiteral("The recording memory is full.");
    case 6: return QStringLiteral("The chip has no recording memory.");
    case 7: return QStringLiteral("The sound library is damaged (length or check sum).");
    case 8: return QStringLiteral("This chip does not take sound libraries with tags.");
    case 9: return QStringLiteral("This chip does not store chip PCM files.");
    default: return QStringLiteral("The chip reported error %1.").arg(code);
    }
}

void yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

// One member's use of the line: the port must be open and no other member
// running; CommEvent is held meanwhile, and bytes the member read but that
// are not its own are given back at the end.
class cTolvane::Session
{
public:
    explicit Session(cTolvane *lib) : mLib(lib), mComm(lib->mComm)
    {
        if (!mComm->PortOpen())
            throw LinkError(LinkError::PortNotOpen, QStringLiteral("The port is not open."));
        if (lib->mRunning)
            throw LinkError(LinkError::Busy, QStringLiteral("The link is busy with another task."));
        lib->mRunning = true;
        mComm->holdEvents();
    }
    ~Session()
    {
        // Bytes that were no reply of ours go back to the program, in order.
        if (mComm->PortOpen() && !(mForeign.isEmpty() && mRx.isEmpty()))
            mComm->putBack(mForeign + mRx);
        mComm->releaseEvents();
        mLib->mRunning = false;
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Writes once CTS is on; throws when it stays off.
    void send(const QByteArray &bytes)
    {
        if (!mComm->waitForCts(mLib->mCtsTimeout)) {
            if (!mComm->PortOpen())
                throw LinkError(LinkError::PortNotOpen, QStringLiteral("The port is not open."));
            throw LinkError(LinkError::NotReady, QStringLiteral("The chip is not ready to receive (CTS stayed off)."));
        }
        mComm->setOutput(bytes);
    }

    // Takes one frame with the given id if it has arrived. Bytes in front
    // of it are set aside for the program (they may be its own, such as a
    // marker of speech still running). Returns false when none is complete
    // yet.
    bool pollFrame(int id, QByteArray *payload)
    {
        mRx.append(mComm->takeAll());
        vx::ReplyFrame f;
        if (!vx::findReplyFrame(mRx, id, &f))
            return false;
        *payload = std::move(f.payload);
        mForeign.append(mRx.left(f.start));
        mRx.remove(0, f.end);
        return true;
    }

    // Waits for a frame; throws when none came in time.
    QByteArray frame(int id, double timeout)
    {
        const double start = vx::Clock::seconds();
        QByteArray payload;
        for (;;) {
            if (pollFrame(id, &payload))
                return payload;
            // Judged before the wait, so a program held up past the deadline
            // still takes a reply that came meanwhile.
            const bool late = vx::Clock::seconds() > start + timeout;
            mComm->waitForInput(0.01);
            if (pollFrame(id, &payload))
                return payload;
            if (late)
                throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip did not answer."));
        }
    }

    // A reply of one result code (and more); throws on a failure code.
    QByteArray result(int id)
    {
        const QByteArray payload = frame(id, mLib->mReplyTimeout);
        checkCode(payload);
        return payload;
    }

    // A recording-memory query on one file, and its result.
    QByteArray fileQuery(int id, qint32 Number, bool ByTag)
    {
        send(query(id) + fileArgs(Number, ByTag));
        return result(id);
    }

    static void checkCode(const QByteArray &payload)
    {
        const int code = payload.isEmpty() ? 1 : quint8(payload[0]);
        if (code != 0)
            throw LinkError(LinkError::ChipRejected, chipErrorText(code));
    }

    // Waits for a result while the chip works, raising ChipStatus 4 every
    // quarter second (the program blinks a label per report) and, after an
    // odd number of them, one 10 so the label ends as it began.
    void resultWhileWorking(int id)
    {
        const double start = vx::Clock::seconds();
        double lastBlink = start;
        int blinks = 0;
        double heard = start; // the last sign of life: the query or a still-working frame
        QByteArray payload;
        bool late = false; // judged before each wait, as in frame()
        while (!pollFrame(id, &payload)) {
            QByteArray working;
            while (pollFrame(id | MoreFlag, &working))
                heard = vx::Clock::seconds();
            if (late)
                throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip did not answer."));
            const double t = vx::Clock::seconds();
            if (t - lastBlink >= 0.25) {
                lastBlink = t;
                ++blinks;
                emit mLib->ChipStatus(4);
            }
            // A working chip says so every half second; one that stays quiet
            // for the reply timeout is gone. The whole work is bounded too.
            late = t > heard + mLib->mReplyTimeout || t > start + mLib->mReplyTimeout + 60.0;
            mComm->waitForInput(0.01);
        }
        if (blinks % 2)
            emit mLib->ChipStatus(10);
        checkCode(payload);
    }

    // Refuses a figure the chip announced beyond what it can hold: the chip
    // is stopped and the member fails.
    [[noreturn]] void refuseAnnounced(const QString &message)
    {
        stopChip();
        throw LinkError(LinkError::OutOfBounds, message);
    }

    // Stops the chip (CAN) and drops what it still sends until the line has
    // been quiet for 0.1 s.
    void stopChip()
    {
        mComm->setOutput(QByteArray(1, char(CAN)));
        double quietSince = vx::Clock::seconds();
        const double start = quietSince;
        while (vx::Clock::seconds() < quietSince + 0.1 && vx::Clock::seconds() < start + 2.0) {
            if (mComm->waitForInput(0.01)) {
                (void)mComm->takeAll();
                quietSince = vx::Clock::seconds();
            }
        }
        mRx.clear();
    }

    cTolvane *mLib;
    SerialComm *mComm;
    QByteArray mRx;
    QByteArray mForeign;
};

cTolvane::cTolvane(QObject *parent) : QObject(parent), mComm(new SerialComm(this))
{
    connect(mComm, &SerialComm::CommEvent, this, &cTolvane::CommEvent);
}

cTolvane::~cTolvane() = default;

SerialComm *cTolvane::GetCommObject()
{
    return mComm;
}

LinkStatus cTolvane::GetStatus() const
{
    return mStatus;
}

ChipInfo cTolvane::GetChipInfo() const
{
    return mInfo;
}

void cTolvane::RefreshStatus()
{
    Session s(this);
    s.send(query(QStatus) + '\0');
    const QByteArray status = s.frame(QStatus, mReplyTimeout);
    s.send(query(QInfo) + '\0');
    const QByteArray info = s.frame(QInfo, mReplyTimeout);
    if (status.size() != LinkStatus::Size || info.size() != ChipInfo::Size)
        throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip's answer was not understood."));
    std::copy(status.begin(), status.end(), mStatus.bytes.begin());
    std::copy(info.begin(), info.end(), mInfo.bytes.begin());
    mIdentified = true;
}

LinkResult cTolvane::DownloadToChip(const QString &FileName, std::optional<vx::DownloadStream> Stream)
{
    Session s(this);
    // Read as the blocks go out, never whole: memory stays flat however
    // long the file is. Only a regular file is opened, so a pipe under a
    // chip file's name cannot block the open.
    QFile file;
    if (!vx::openForReading(file, FileName))
        throw LinkError(LinkError::FileError, QStringLiteral("Cannot open the file %1.").arg(FileName));
    // Past the open, the file is named by its name alone.
    const QString name = QFileInfo(FileName).fileName();
    const qint64 size = file.size();
    const QByteArray head = file.peek(vx::DownloadHeadBytes);
    const vx::DownloadStream stream = Stream ? *Stream : vx::downloadStreamOf(FileName, head, size);
    if (const auto refusal =
            vx::downloadRefusal(name, stream, head, size, recMemBound(), mIdentified && mInfo.modelBits() != 1))
        throw *refusal;
    const bool firmware = stream == vx::DownloadStream::Firmware;

    emit ChipStatus(6);
    if (firmware) {
        bool cancel = false;
        emit ConfirmUpdate(cancel);
        if (cancel)
            return LinkResult::Cancelled;
    }

    const int id = firmware ? QFirmware : QDownload;
    s.send(query(id) + le32(quint32(size)));
    bool cancel = false;
    try {
        for (qint64 at = 0; at < size;) {
            const QByteArray block = file.read(std::min<qint64>(BlockBytes, size - at));
            if (block.isEmpty())
                throw LinkError(LinkError::FileError,
                                QStringLiteral("The file %1 could not be read to its end.").arg(name));
            s.send(QByteArray(1, char(block.size())) + block);
            at += block.size();
            yieldOnce();
            QByteArray early;
            if (s.pollFrame(id, &early)) {
                Session::checkCode(early); // a failure part way
                throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip's answer was not understood."));
            }
            // Asked on every block, so Cancel is heard at once. 100 is kept
            // for the chip's word that it stored the file: a transfer that
            // fails at the end does not read as complete.
            emit PercentDone(int(std::min<qint64>(99, at * 100 / size)), cancel);
            if (cancel) {
                s.send(QByteArray(1, AbandonByte)); // the chip drops what it got
                return LinkResult::Cancelled;
            }
        }
    } catch (const LinkError &) {
        // Leave the chip out of the transfer, so it takes commands again.
        try {
            s.send(QByteArray(1, AbandonByte));
        } catch (const LinkError &) {
            // CTS stayed off: the chip is not listening anyway.
        }
        throw;
    }
    s.send(QByteArray(1, 0));
    s.result(id);
    emit PercentDone(100, cancel);
    return LinkResult::Done;
}

namespace {

// The upload goes to its file through a temporary file beside it: on any
// failure the old file stays whole and the message names the system's cause.
void writeUpload(const QString &FileName, const QByteArray &data)
{
    vx::OutputFile out;
    bool ok = out.create(vx::fileNameBytes(FileName).toStdString());
    std::string cause = out.errorString();
    if (ok && !data.isEmpty()) {
        errno = 0;
        ok = std::fwrite(data.constData(), 1, std::size_t(data.size()), out.stream()) == std::size_t(data.size());
        if (!ok)
            cause = std::strerror(errno ? errno : EIO);
    }
    if (ok) {
        ok = out.commit();
        cause = out.errorString();
    }
    if (!ok)
        throw LinkError(LinkError::FileError, QStringLiteral("Cannot write the file %1: %2")
                                                  .arg(FileName, QString::fromLocal8Bit(cause.c_str())));
}

} // namespace

qint64 cTolvane::recMemBound() const
{
    // The chip's own figure once the status was read, else the largest any
    // board carries.
    const qint32 known = mStatus.recMemBytes();
    return known > 0 ? std::min<qint64>(known, MaxRecMemBytes) : MaxRecMemBytes;
}

LinkResult cTolvane::UploadRecMemFile(const QString &FileName, qint32 Number, bool ByTag)
{
    Session s(this);
    const quint32 total = get32(s.fileQuery(QUpload, Number, ByTag), 1);
    if (qint64(total) > recMemBound())
        s.refuseAnnounced(
            QStringLiteral("The chip announced a file of %1 bytes, more than its recording memory holds.").arg(total));
    QByteArray data;
    data.reserve(qsizetype(total));
    bool cancel = false;
    while (quint32(data.size()) < total) {
        data.append(s.frame(QUpload | MoreFlag, mReplyTimeout));
        // Asked on every block, so Cancel is heard at once. A Cancel on the
        // last block still writes nothing: the programs say it was cancelled.
        emit PercentDone(int(qint64(data.size()) * 100 / total), cancel);
        if (cancel) {
            if (quint32(data.size()) < total)
                s.stopChip();
            return LinkResult::Cancelled;
        }
    }
    if (quint32(data.size()) != total)
        throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip sent more than it announced."));
    writeUpload(FileName, data);
    if (total == 0)
        emit PercentDone(100, cancel);
    return LinkResult::Done;
}

void cTolvane::DeleteRecMemFile(qint32 Number, bool ByTag)
{
    Session s(this);
    s.fileQuery(QDelete, Number, ByTag);
}

LinkResult cTolvane::PlayRecMemFile(qint32 Number, bool ByTag)
{
    Session s(this);
    const quint32 ms = get32(s.fileQuery(QPlay, Number, ByTag), 1);
    if (qint64(ms) > maxPlayMilliseconds(recMemBound()))
        s.refuseAnnounced(
            QStringLiteral("The chip announced a play of %1 seconds, longer than its recording memory holds.")
                .arg(ms / 1000));
    const double length = ms / 1000.0;
    const double start = vx::Clock::seconds();
    double lastReport = -1.0;
    bool cancel = false;
    QByteArray end;
    bool late = false; // judged before each wait, so a held-up program still takes the end
    while (!s.pollFrame(QPlay | MoreFlag, &end)) {
        if (late)
            throw LinkError(LinkError::NoAnswer, QStringLiteral("The chip did not report the end of playing."));
        const double elapsed = vx::Clock::seconds() - start;
        if (elapsed - lastReport >= 0.1) {
            lastReport = elapsed;
            const int percent = length > 0 ? std::min(99, int(elapsed * 100 / length)) : 99;
            emit PercentDone(percent, cancel);
            if (cancel) {
                s.stopChip();
                return LinkResult::Cancelled;
            }
        }
        late = elapsed > length + mReplyTimeout;
        mComm->waitForInput(0.01);
    }
    emit PercentDone(100, cancel);
    return LinkResult::Done;
}

void cTolvane::InitRecMem()
{
    Session s(this);
    s.send(query(QInit) + '\0');
    s.resultWhileWorking(QInit);
}

void cTolvane::RepairRecMem()
{
    Session s(this);
    s.send(query(QRepair) + '\0');
    s.resultWhileWorking(QRepair);
}
