#pragma once

// The 5000 sound files of the library benchmarks: wave, chip PCM in both
// forms, and MP3 with a tag block before its first frame.

#include "app/documents/SoundLibFile.h"
#include "app/soundlib/SoundEntry.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace benchsounds {

inline QByteArray le(quint32 v, int width)
{
    QByteArray b;
    for (int i = 0; i < width; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

// Wave, chip PCM in both forms, and MP3 with a tag block before its first frame.
inline QByteArray soundFile(int i, QString &name)
{
    switch (i % 4) {
    case 0: {
        name = QStringLiteral("Voice %1.wav").arg(i);
        const quint32 n = 20000;
        return "RIFF" + le(36 + n, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) + le(44100, 4) + le(176400, 4)
            + le(4, 2) + le(16, 2) + "data" + le(n, 4) + QByteArray(n, '\0');
    }
    case 1:
        name = QStringLiteral("plain%1.pcm").arg(i);
        return le(8000, 3) + QByteArray(1, 99) + QByteArray(8000, '\x80');
    case 2:
        name = QStringLiteral("Marked%1.PCM").arg(i);
        return QByteArray("\x0D\x0D\x1E\x01" "99#", 8) + QByteArray("\xC0\xDB", 2) + le(8000, 3) + QByteArray(1, 99)
            + le(static_cast<quint32>(i), 2) + QByteArray(8000, '\x80');
    default: {
        name = QStringLiteral("song %1.mp3").arg(i);
        QByteArray f = "ID3" + QByteArray(30000, '\xFF'); // 0xFF bytes that are no frame
        for (qsizetype k = 3; k < f.size(); k += 2)
            f[k] = '\0';
        return f + QByteArray("\xFF\xFB\x90\x44", 4) + QByteArray(20000, '\0');
    }
    }
}

// Writes `count` sound files into folder and a library listing them all;
// the library's path, or nothing when a write failed.
inline QString writeLibrary(const QString &folder, int count)
{
    QList<SoundEntry> listed;
    for (int i = 0; i < count; ++i) {
        QString name;
        const QByteArray content = soundFile(i, name);
        QFile f(folder + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            return {};
        // Inspected once all of it is on disk: a chip PCM file is judged by its length.
        f.close();
        if (f.error() != QFileDevice::NoError)
            return {};
        listed << GetSoundFileInfo(folder, name, true);
    }
    const QString libPath = folder + QStringLiteral("Library.sfl");
    return SaveSoundLibFile(libPath, listed) ? libPath : QString();
}

} // namespace benchsounds
