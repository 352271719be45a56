#include "link/ReplyParser.h"

#include "link/Protocol.h"

namespace vx {

namespace {

// The frame at `at` when it is whole and its sum holds; id < 0 takes any id.
bool frameAt(QByteArrayView bytes, qsizetype at, int id, ReplyFrame *frame)
{
    if (bytes.size() < at + 3)
        return false;
    const int gotId = quint8(bytes[at + 1]);
    const int len = quint8(bytes[at + 2]);
    if (id >= 0 && gotId != id)
        return false;
    if (bytes.size() < at + proto::FrameOverhead + len)
        return false;
    quint8 sum = quint8(gotId + len);
    for (int i = 0; i < len; ++i)
        sum = quint8(sum + quint8(bytes[at + 3 + i]));
    if (sum != quint8(bytes[at + 3 + len]))
        return false;
    frame->id = gotId;
    frame->payload = bytes.sliced(at + 3, len).toByteArray();
    frame->start = at;
    frame->end = at + proto::FrameOverhead + len;
    return true;
}

} // namespace

bool findReplyFrame(QByteArrayView bytes, int id, ReplyFrame *frame)
{
    // A frame not complete yet, or a stray STX whose length runs past a real
    // frame behind it: look on from the next byte.
    for (qsizetype at = 0; (at = bytes.indexOf(char(proto::STX), at)) >= 0; ++at)
        if (frameAt(bytes, at, id, frame))
            return true;
    return false;
}

ReplyScan parseReplies(QByteArrayView bytes)
{
    ReplyScan scan;
    qsizetype at = 0;
    while ((at = bytes.indexOf(char(proto::STX), at)) >= 0) {
        ReplyFrame f;
        if (frameAt(bytes, at, -1, &f)) {
            at = f.end;
            scan.consumed = f.end;
            scan.frames.append(std::move(f));
        } else {
            ++at;
        }
    }
    return scan;
}

} // namespace vx
