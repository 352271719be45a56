// Each kind of download through the link library, as the programs send it,
// and what the chip holds afterwards, byte for byte.
#include "Rig.h"

#include "link/cTolvane.h"

#include <gtest/gtest.h>

using namespace linktest;
using chipsim::DownloadKind;

namespace {

const QByteArray Greeting = QByteArray("\r\r\x18\x1e\x01" "255w\x01" "3s", 12) + "Hello there" + '\0';
const QByteArray Dictionary = QByteArray("\r\r\x18\x1e\x01l\x00\x01" "247w\0\0\0\0\xCA\xB9", 18) + "rules\xFF\xFF\xFF";
const QByteArray MarkedPcm = chipsim::makeMarkedPcm(78, 42, QByteArray(9, '\x11'));
const QByteArray PlainPcm = QByteArray("\x03\x00\x00\x4E\x01\x02\x03", 7);

} // namespace

TEST(Downloads, EachKindIsStoredAsItArrived)
{
    const struct
    {
        const char *model, *name;
        QByteArray bytes;
        DownloadKind kind;
        int result;
    } cases[] = {
        {"sim", "hello.grt", Greeting, DownloadKind::Greeting, 0},
        {"sim", "words.dix", Dictionary, DownloadKind::Dictionary, 0},
        {"sim", "t42.pcm", MarkedPcm, DownloadKind::ChipPcm, 0},
        {"sim", "plain.pcm", PlainPcm, DownloadKind::Other, 0},
        {"sim", "m$70c4d8.bin", chipsim::makeFirmwareImage(1, 0x0311), DownloadKind::Firmware, 0},
        {"sim:SV3410", "t42.pcm", MarkedPcm, DownloadKind::ChipPcm, 0},
    };
    for (const auto &c : cases) {
        cTolvane lib;
        SimLine line(QStringLiteral("115200"), c.model, lib.GetCommObject());
        QObject::connect(&lib, &cTolvane::ConfirmUpdate, [](bool &) {});
        EXPECT_EQ(lib.DownloadToChip(writeFile(QString::fromLatin1(c.name), c.bytes)), LinkResult::Done) << c.name;
        const chipsim::Chip &chip = *line.chip;
        ASSERT_EQ(chip.downloads().size(), 1) << c.name;
        EXPECT_EQ(chip.downloads()[0].kind, c.kind) << c.name;
        EXPECT_EQ(chip.downloads()[0].result, c.result) << c.name;
        EXPECT_EQ(chip.downloads()[0].bytes, c.bytes) << c.name;
        EXPECT_EQ(chip.lastDownload(), c.bytes) << c.name;
        switch (c.kind) {
        case DownloadKind::Greeting:
            EXPECT_EQ(chip.greeting(), c.bytes);
            break;
        case DownloadKind::Dictionary:
            EXPECT_EQ(chip.dictionary(), c.bytes);
            EXPECT_EQ(chip.statusRecord().dictionaryLoaded(), 1);
            break;
        case DownloadKind::ChipPcm:
            ASSERT_EQ(chip.recFiles().size(), 1);
            EXPECT_EQ(chip.recFiles()[0].tag, 42);
            EXPECT_EQ(chip.recFiles()[0].pcm, c.bytes);
            EXPECT_EQ(chip.statusRecord().freeBytes(), chip.config().recMemBytes - c.bytes.size());
            break;
        case DownloadKind::Firmware:
            EXPECT_EQ(chip.firmwareImage(1), c.bytes);
            EXPECT_EQ(chip.infoRecord().firmwareFirst(), 0x0311);
            break;
        default:
            EXPECT_TRUE(chip.recFiles().isEmpty());
        }
    }
}

TEST(Downloads, AResetSpeaksTheGreetingWithItsSettings)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    ASSERT_EQ(lib.DownloadToChip(writeFile(QStringLiteral("hello.grt"), Greeting)), LinkResult::Done);
    line.chip->powerCycle();
    pumpUntil([&] { return line.chip->spokenWords().size() == 2; });
    ASSERT_EQ(line.chip->spokenWords().size(), 2);
    EXPECT_EQ(line.chip->spokenWords()[1].text, QByteArray("there"));
    EXPECT_EQ(line.chip->spokenWords()[1].speed, 3);
}

TEST(Downloads, APacedTransferWaitsOnTheLineAndTheBufferAndAnswersOnceStored)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    chipsim::ChipConfig cfg = line.chip->config();
    cfg.storeBytesPerSecond = 40000;
    cfg.transferLineTime = true;
    cfg.inputBufferSize = 400; // three blocks
    line.chip->setConfig(cfg);
    int ctsDrops = 0;
    QObject::connect(line.chip, &chipsim::Chip::ctsChanged, [&](bool high) { ctsDrops += high ? 0 : 1; });
    const QByteArray dix = Dictionary + QByteArray(4000, 'd');
    const double start = vx::Clock::seconds();
    ASSERT_EQ(lib.DownloadToChip(writeFile(QStringLiteral("paced.dix"), dix)), LinkResult::Done);
    // The length, each block with its header and the file cross the line
    // before the answer can come.
    const qsizetype lineBytes = 4 + (dix.size() + 127) / 128 + dix.size();
    EXPECT_GE(vx::Clock::seconds() - start, double(lineBytes) / 11520.0);
    EXPECT_GT(ctsDrops, 0) << "a full buffer holds the host back";
    for (const chipsim::LoggedWrite &w : line.chip->writeLog())
        EXPECT_TRUE(w.ctsHigh) << "the library writes only while CTS is on";
    EXPECT_EQ(line.chip->dictionary(), dix);
}
