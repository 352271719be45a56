// Real-time PCM and music play on the emulated chip.
#include "app/Globals.h"
#include "app/startup/RealTimePlay.h"
#include "app/startup/ui/RealTimePlay.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/support/Bytes.h"
#include "tests/support/Files.h"
#include "tests/support/SimLink.h"
#include "tests/support/TestEnv.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using vxtest::bytes;

class PcmPlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        chip = vxtest::attachSimChip(link, 8);
        dir = QString::fromStdString(vxtest::freshDir("pcm-play"));
    }
    void TearDown() override
    {
        Comm->setPortOpen(false);
        Comm = nullptr;
        Port = 0;
    }
    QString file(const char *name, const QByteArray &content)
    {
        const QString path = dir + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    vx::ScriptedPrompter prompts;
    cTolvane link;
    chipsim::Chip *chip = nullptr;
    QString dir;
};

} // namespace

TEST_F(PcmPlay, PlainDataGoesOutInBlocksAndEndsWithTheMarks)
{
    QByteArray data;
    for (int i = 1; i <= 16; ++i)
        data.append(char(i));
    QString path = file("plain.pcm", bytes({16, 0, 0, 78}) + data);
    PlayPcmOnChip(path);
    QList<QByteArray> writes;
    for (const auto &w : chip->writeLog())
        writes.append(w.bytes);
    ASSERT_GE(writes.size(), 4);
    EXPECT_EQ(writes.mid(writes.size() - 3),
              (QList<QByteArray>{data.left(8), data.mid(8) + bytes({0x80}), bytes({0x80, 0x80})}));
    EXPECT_TRUE(chip->acceptedBytes().contains(QByteArray("\x18\x01" "78#", 5)));
    ASSERT_EQ(chip->pcmPlays().size(), 1);
    EXPECT_EQ(chip->pcmPlays()[0].data, data);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("9600,N,8,1"));
    EXPECT_FALSE(Playing);
}

TEST_F(PcmPlay, RefusedFilesSendOnlyTheCarriageReturn)
{
    IsOlderChip = true;
    QByteArray marked = bytes({13, 13, 0x1E, 1, '9', '9', '%', 0, 0xC0, 0xDB, 4, 0, 0, 0x80 | 99, 0, 0});
    QString path = file("speech.pcm", marked + bytes({1, 2, 0, 0x80}));
    prompts.queue(vx::Answer::Ok);
    PlayPcmOnChip(path);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Unsupported Format"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Speech.pcm' is an SV3420 ADPCM-encoded sound file. \r\n"
                                                  "It is not compatible with the SV3410."));
    EXPECT_EQ(chip->acceptedBytes(), QByteArray("\r"));
    EXPECT_EQ(Comm->Settings(), QStringLiteral("9600,N,8,1"));

    // A length that disagrees with the file sends nothing at all.
    path = file("short.pcm", bytes({200, 0, 0, 78, 1, 2}));
    prompts.queue(vx::Answer::Ok);
    chip->clearLogs();
    PlayPcmOnChip(path);
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("invalid or corrupt")));
    EXPECT_TRUE(chip->acceptedBytes().isEmpty());
}

using MusicPlay = PcmPlay;

// Past the largest score the compiler writes, a file that begins like one is
// refused before it is read (sparse here: only its size matters).
TEST_F(MusicPlay, AScoreLargerThanTheCompilerWritesIsRefusedUnread)
{
    QString path = file("Big.tgx", QByteArray("\r\r"));
    ASSERT_TRUE(QFile::resize(path, MaxCompiledScoreBytes() + 1));
    prompts.queue(vx::Answer::Ok);
    const qint64 before = vxtest::bytesReadByProcess();
    PlayMusicOnChip(path);
    EXPECT_LT(vxtest::bytesReadByProcess() - before, 1 << 20);
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Can't open file: ") + path +
                                       QStringLiteral("\nThe file is larger than a compiled music score may be (256 MB)."));
    EXPECT_TRUE(chip->acceptedBytes().isEmpty());
    EXPECT_FALSE(Playing);
}
