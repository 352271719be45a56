// What a file is taken for: the window a file opens in by its head and name,
// and a sound file's kind and record read from disk as the sound library
// window adds one. The first byte picks the name's ending.
#include "app/documents/RecentFiles.h"
#include "app/documents/SoundLibFile.h"
#include "app/soundlib/SoundEntry.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const char *const kEndings[] = {".wav", ".mp3", ".pcm", ".sfl", ".dic", ".tgn", ".txt", ".WAV"};
    // One file of this process's own in the temporary folder, removed after
    // each input.
    static const QString folder = QDir::tempPath() + QLatin1Char('/');
    static const QString base = QStringLiteral("vx-fuzz-kind-") + QString::number(::getpid());
    if (size == 0)
        return 0;
    const QString name = base + QLatin1String(kEndings[data[0] % 8]);
    const QByteArrayView bytes(data + 1, static_cast<qsizetype>(size - 1));
    (void)DocumentKindFor(folder + name, bytes.first(std::min<qsizetype>(bytes.size(), 256)));
    QFile file(folder + name);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(bytes.data(), bytes.size());
    file.close();
    (void)GetSoundFileInfo(folder, name, (data[0] & 8) != 0);
    file.remove();
    return 0;
}
