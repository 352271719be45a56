// Download kinds and refusals, and the wave file a recording leaves.
#include "app/startup/Downloads.h"
#include "app/startup/WaveRecording.h"
#include "common/Bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Downloads, KindsAndTheOlderChipsRefusal)
{
    EXPECT_EQ(DownloadKindOf(QStringLiteral("/x/Words.DIX")), DownloadKind::Dictionary);
    EXPECT_EQ(DownloadKindOf(QStringLiteral("a.sfx")), DownloadKind::SoundLibrary);
    EXPECT_EQ(DownloadKindOf(QStringLiteral("a.grt")), DownloadKind::Greeting);
    EXPECT_EQ(DownloadKindOf(QStringLiteral("a.bin")), DownloadKind::Firmware);
    EXPECT_EQ(DownloadKindOf(QStringLiteral("a.txt")), DownloadKind::None);

    EXPECT_EQ(DownloadKindOf(QStringLiteral("X.PCM")), DownloadKind::Pcm);
    EXPECT_FALSE(DownloadRefusalFor(DownloadKind::Pcm, false));
    EXPECT_FALSE(DownloadRefusalFor(DownloadKind::Dictionary, true));
    const auto refusal = DownloadRefusalFor(DownloadKind::Pcm, true);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->number, -2147221504 + 999);
    EXPECT_TRUE(refusal->description.startsWith(QStringLiteral("PCM data files cannot be stored in the SV3410; they can only be played using the  \r\nSV3410's")));
}

TEST(WaveRecording, HeaderCompletedAtTheEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("voice.wav"));
    WaveRecording rec;
    EXPECT_TRUE(rec.append(QByteArray("\x01"))); // nothing open: dropped
    ASSERT_TRUE(rec.start(path, 10500));
    ASSERT_TRUE(rec.append(QByteArray(512, '\x80')));
    ASSERT_TRUE(rec.append(QByteArray("\x7f\x81")));
    ASSERT_TRUE(rec.finish());

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t *>(b.constData()), static_cast<std::size_t>(b.size()));
    ASSERT_EQ(b.size(), 44 + 514);
    EXPECT_EQ(b.left(4), QByteArray("RIFF"));
    EXPECT_EQ(vx::readLe32(bytes, 4), 514u + 36u);
    EXPECT_EQ(vx::readLe32(bytes, 24), 10500u);
    EXPECT_EQ(vx::readLe32(bytes, 28), 10500u);
    EXPECT_EQ(vx::readLe16(bytes, 32), 1u);
    EXPECT_EQ(vx::readLe16(bytes, 34), 8u);
    EXPECT_EQ(vx::readLe32(bytes, 40), 514u);
    EXPECT_EQ(b.right(2), QByteArray("\x7f\x81"));

    // Nothing received: the header alone. Abandoned: the old file stays whole.
    ASSERT_TRUE(rec.start(path, 10500));
    rec.abandon();
    EXPECT_EQ(QFileInfo(path).size(), 44 + 514);
    ASSERT_TRUE(rec.start(path, 10500));
    ASSERT_TRUE(rec.finish());
    EXPECT_EQ(QFileInfo(path).size(), 44);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("voice.wav")});

    EXPECT_FALSE(rec.start(dir.filePath(QStringLiteral("missing/voice.wav")), 10500));
}

} // namespace
