#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

// --- Recording memory --------------------------------------------------------

bool Chip::addRecFile(quint16 tag, const QByteArray &pcm)
{
    if (mConfig.recMemBytes < 0)
        return false;
    // A file under a tag replaces the one with the same tag (0 is no tag).
    if (tag != 0)
        mRecFiles.erase(
            std::remove_if(mRecFiles.begin(), mRecFiles.end(), [tag](const RecFile &f) { return f.tag == tag; }),
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
    if (id == vx::proto::QInit || id == vx::proto::QRepair) {
        // Erasing and repairing take a while; the result comes at the end.
        if (id == vx::proto::QInit) {
            mRecFiles.clear();
            mRecIncompatible = false;
        }
        mRecCorrupt = false;
        // A still-working frame at once and every half second, so the link
        // can tell a working chip from a silent one.
        const double work = mConfig.recMemWorkSeconds;
        for (double t = 0; t < work; t += vx::proto::WorkingEverySeconds)
            sendLater(t, frame(quint8(id | vx::proto::MoreFlag), {}));
        sendLater(work, frame(quint8(id), QByteArray(1, 0)));
        return;
    }
    if (mRecCorrupt)
        return reply(4);
    const int index = findRecFile(number, byTag);
    if (index < 0)
        return reply(3);
    const QByteArray pcm = mRecFiles[index].pcm;
    if (id == vx::proto::QDelete) {
        mRecFiles.removeAt(index);
        return reply(0);
    }
    if (id == vx::proto::QPlay) {
        // Play time: the data at the file's sample rate.
        const bool marked = pcm.size() >= 16 && quint8(pcm[8]) == 0xC0 && quint8(pcm[9]) == 0xDB;
        const int code = (marked ? quint8(pcm[13]) : (pcm.size() > 3 ? quint8(pcm[3]) : 0)) & 0x7F;
        const double seconds = std::max(0, int(pcm.size()) - (marked ? 16 : 4)) / rateOfCode(code);
        sendFrame(vx::proto::QPlay, QByteArray(1, 0) + le32(quint32(seconds * 1000.0)));
        mPlayEnd = now() + std::max(seconds, 0.001);
        ensureTicking();
        return;
    }
    // 33: the file in frames behind its length.
    sendFrame(vx::proto::QUpload, QByteArray(1, 0) + le32(quint32(pcm.size())));
    mXfer.id = vx::proto::QUpload; // paces the frames on the line
    for (int at = 0; at < pcm.size(); at += vx::proto::BlockBytes)
        sendFrame(vx::proto::MoreFlag | vx::proto::QUpload, pcm.mid(at, vx::proto::BlockBytes));
}

} // namespace chipsim
