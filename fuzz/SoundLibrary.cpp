// A compiled sound library (".sfx") as the emulated chip stores a download;
// the first byte picks the flavour.
#include "chipsim/Chip.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray lib(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    QVector<chipsim::RecFile> files;
    (void)chipsim::readSoundLibrary(lib, (data[0] & 1) != 0, &files);
    return 0;
}
