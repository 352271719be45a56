// A sound library list (".sfl") read as the program opens one, and the
// records it gives written back.
#include "app/documents/SoundLibFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    (void)HasSoundLibMagic(bytes);
    QString error;
    if (const auto entries = ParseSoundLibFile(bytes, &error))
        (void)BuildSoundLibFile(*entries, &error);
    return 0;
}
