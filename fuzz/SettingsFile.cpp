// The settings file as a save reads and writes it back: what it read must
// read the same from what it wrote, and a second save must change nothing.
#include "platform/IniFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The keys and their texts, in key order; lines kept as written (keys
// ending in '/') may move to another section and are left out.
QList<vx::IniEntry> keys(QList<vx::IniEntry> entries)
{
    entries.removeIf([](const vx::IniEntry &e) { return e.first.endsWith(QLatin1Char('/')); });
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<vx::IniEntry> read = vx::parseIni(QByteArrayView(data, static_cast<qsizetype>(size)));
    const QByteArray saved = vx::buildIni(read);
    const QList<vx::IniEntry> again = vx::parseIni(saved);
    if (keys(again) != keys(read) || vx::buildIni(again) != saved)
        std::abort();
    return 0;
}
