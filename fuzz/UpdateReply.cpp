// The update check's reading of one answer, fed in pieces as a socket brings
// them (the first byte sets their size), then where a redirect leads from a
// plain and from a secure address.
#include "app/shell/UpdateFetch.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype piece = data[0] + 1;
    const QByteArrayView answer(data + 1, static_cast<qsizetype>(size - 1));
    vx::UpdateReply reply;
    bool done = false;
    for (qsizetype at = 0; at < answer.size() && !done; at += piece)
        done = reply.take(answer.sliced(at, qMin(piece, answer.size() - at)));
    reply.end();
    for (const char *from : {"http://example.test/a/update.txt?x=1", "https://example.test/update.txt"})
        (void)vx::redirectTarget(QUrl(QLatin1String(from)), reply);
    return 0;
}
