// The link's reading of reply frames: every frame of the bytes, then the
// first frame of the id the first byte names.
#include "link/ReplyParser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const vx::ReplyScan scan = vx::parseReplies(bytes);
    (void)scan;
    vx::ReplyFrame frame;
    if (size > 0)
        (void)vx::findReplyFrame(bytes.sliced(1), data[0], &frame);
    return 0;
}
