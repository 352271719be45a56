// A dictionary or score grid file read into rows as a window opens it (the
// rule check as a stand-in that refuses some rules), and written back.
#include "app/documents/GridFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const GridRows rows = ParseGridFile(bytes, [](const QString &rule, bool) { return rule.size() % 3 != 0; });
    (void)GridFileBytes(rows);
    return 0;
}
