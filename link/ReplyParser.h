#pragma once

// The link's reading of the chip's reply frames, as plain functions: bytes
// in, frames out. No port and no state, so a fuzz target can call it.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace vx {

struct ReplyFrame
{
    int id = 0;
    QByteArray payload;
    qsizetype start = 0; // offset of its STX
    qsizetype end = 0;   // offset just past its check sum
};

// The first whole, well-summed frame with the given id in bytes. A stray STX
// (a byte of speech markers or junk) is skipped over. Returns false when no
// such frame is complete yet.
[[nodiscard]] bool findReplyFrame(QByteArrayView bytes, int id, ReplyFrame *frame);

struct ReplyScan
{
    QList<ReplyFrame> frames; // every whole, well-summed frame, in order, not overlapping
    qsizetype consumed = 0;   // bytes up to the end of the last frame
};

// Every frame in bytes, whatever its id.
[[nodiscard]] ReplyScan parseReplies(QByteArrayView bytes);

} // namespace vx
