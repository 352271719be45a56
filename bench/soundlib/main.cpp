// Opens a library of 5000 sounds: reads its list file, inspects the header of
// every sound file it names and builds the rows a window shows. Goal: under 1 s.
#include "app/documents/SoundLibFile.h"
#include "app/soundlib/SoundFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

QByteArray le(quint32 v, int width)
{
    QByteArray b;
    for (int i = 0; i < width; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

// Wave, chip PCM in both forms, and MP3 with a tag block before its first frame.
QByteArray soundFile(int i, QString &name)
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

} // namespace

int main()
{
    constexpr int kSounds = SoundLibTable::kMaxRows;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QList<SoundEntry> listed;
    for (int i = 0; i < kSounds; ++i) {
        SoundEntry e;
        const QByteArray content = soundFile(i, e.FileName);
        e.Location = folder;
        QFile f(e.path());
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            return 1;
        listed << GetSoundFileInfo(folder, e.FileName, true);
    }
    const QString libPath = folder + QStringLiteral("Library.sfl");
    if (!SaveSoundLibFile(libPath, listed))
        return 1;

    std::vector<double> runs;
    int files = 0;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto entries = LoadSoundLibFile(libPath);
        if (!entries)
            return 1;
        SoundRows rows;
        rows.reserve(entries->size());
        for (const SoundEntry &stored : *entries) {
            // What the window's Refresh does for every row: inspect the file anew.
            SoundEntry e = GetSoundFileInfo(stored.Location, stored.FileName, stored.Compress);
            e.Compress = stored.Compress;
            e.Tag = stored.Tag;
            e.NoiseGate = stored.NoiseGate;
            e.Boost = stored.Boost;
            e.MemUsed = EstimateMemoryKB(e);
            rows.append(SoundRow{e, MakeListItem(e)});
        }
        files = ComputeSoundLibTotals(rows).files;
        runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("open and inspect a %d-sound library (%d sound files): median %.0f ms, best %.0f ms (goal < 1000 ms)\n",
                kSounds, files, runs[runs.size() / 2], runs.front());
    return files == kSounds && runs[runs.size() / 2] < 1000.0 ? 0 : 2;
}
