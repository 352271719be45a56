// Each kind of download through the link library, as the programs send it,
// and what the chip holds afterwards, byte for byte.
#include "Rig.h"

#include "components/lexmold/cLexmold.h"
#include "link/cTolvane.h"
#include "tests/support/Bytes.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace linktest;
using chipsim::DownloadKind;

namespace {

const QByteArray Greeting = QByteArray("\r\r\x18\x1e\x01" "255w\x01" "3s", 12) + "Hello there" + '\0';
const QByteArray Dictionary = vxtest::kDictionaryHead + "rules\xFF\xFF\xFF";
const QByteArray MarkedPcm = chipsim::makeMarkedPcm(78, 42, QByteArray(9, '\x11'));
const QByteArray PlainPcm = QByteArray("\x03\x00\x00\x4E\x01\x02\x03", 7);
const QByteArray Wave = QByteArray("RIFF\x2C\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0"
                                   "data\x08\0\0\0", 44) + QByteArray(8, '\x80');

// A marked chip PCM file of the given (even) length.
QByteArray markedPcmOf(qint64 size)
{
    return chipsim::makeMarkedPcm(78, 1, QByteArray(size - 17, 's'));
}

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
        {"sim", "m$70c4d8.bin", chipsim::makeFirmwareImage(1, 0x0311), DownloadKind::Firmware, 0},
        // A name that shows no kind: the first bytes do.
        {"sim", "hello.msg", Greeting, DownloadKind::Greeting, 0},
        {"sim", "words.obj", Dictionary, DownloadKind::Dictionary, 0},
        {"sim", "t42", MarkedPcm, DownloadKind::ChipPcm, 0},
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

TEST(Downloads, WhatTheChipCannotTakeIsRefusedBeforeAnyByte)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    lib.RefreshStatus(); // sound files are bounded by the recording memory the chip reports
    const qint32 recMem = line.chip->config().recMemBytes;
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(char(i * 37 + 11));
    const QString tooLong = QStringLiteral("The file %1 is %2 bytes long; the chip takes at most %3 bytes.");
    const QString notTaken = QStringLiteral("The file %1 is not a file the chip takes. Choose a compiled sound library "
                                            "(.sfx), greeting (.grt), compiled dictionary (.dix), chip PCM file (.pcm) "
                                            "or chipset image (.bin).");
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString why; // empty: sent
    } cases[] = {
        {"empty.grt", {}, QStringLiteral("The file empty.grt is empty.")},
        {"empty.dix", {}, QStringLiteral("The file empty.dix is empty.")},
        {"empty.sfx", {}, QStringLiteral("The file empty.sfx is empty.")},
        {"noise.sfx", noise, QStringLiteral("The file noise.sfx is not a compiled sound library.")},
        {"noise.grt", noise.left(200), QStringLiteral("The file noise.grt is not a greeting file.")},
        {"noise.dix", noise, QStringLiteral("The file noise.dix is not a compiled dictionary.")},
        {"cut.pcm", vxtest::plainPcm(noise).chopped(1), QStringLiteral("The file cut.pcm is not a chip PCM file.")},
        {"long.grt", Greeting.left(9) + QByteArray(236, 'a') + '\0', tooLong.arg(QStringLiteral("long.grt")).arg(246).arg(245)},
        {"full.grt", Greeting.left(9) + QByteArray(235, 'a') + '\0', {}},
        {"long.dix", vxtest::kDictionaryHead + QByteArray(32777, 'r'), tooLong.arg(QStringLiteral("long.dix")).arg(32795).arg(32794)},
        {"full.dix", vxtest::kDictionaryHead + QByteArray(32776, 'r'), {}},
        {"long.pcm", markedPcmOf(recMem + 2), tooLong.arg(QStringLiteral("long.pcm")).arg(recMem + 2).arg(recMem)},
        {"full.pcm", markedPcmOf(recMem), {}},
        {"image.bin", {}, QStringLiteral("The file image.bin is empty.")},
        // Kept nowhere by the chip: the plain form carries no command, other
        // names are no kind it takes.
        {"W2.pcm", PlainPcm, QStringLiteral("The file W2.pcm is a chip PCM file in the SV3410 form, which carries "
                                            "no command for the chip to store it. Convert the sound again with "
                                            "SV3410 compatibility off (data files for the SV3420 chipset only).")},
        {"tone.wav", Wave, notTaken.arg(QStringLiteral("tone.wav"))},
        {"tone.xpcm", Wave, notTaken.arg(QStringLiteral("tone.xpcm"))},
        {"notes", noise.left(200), notTaken.arg(QStringLiteral("notes"))},
        // Where the name shows no kind, neither the plain form's length nor an
        // image's bytes show one.
        {"W2.raw", PlainPcm, notTaken.arg(QStringLiteral("W2.raw"))},
        {"image.img", chipsim::makeFirmwareImage(1, 0x0311), notTaken.arg(QStringLiteral("image.img"))},
        // A file the chip takes under a name that shows another kind is that kind.
        {"hello.pcm", Greeting, QStringLiteral("The file hello.pcm is not a chip PCM file.")},
    };
    for (const auto &c : cases) {
        line.chip->clearLogs();
        const QString path = writeFile(QString::fromLatin1(c.name), c.bytes);
        try {
            EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done) << c.name;
            EXPECT_TRUE(c.why.isEmpty()) << c.name << " was sent";
            EXPECT_EQ(line.chip->lastDownload(), c.bytes) << c.name;
        } catch (const LinkError &e) {
            EXPECT_EQ(e.description(), c.why) << c.name;
            EXPECT_EQ(e.number(), LinkError::NotDownloadable) << c.name;
            EXPECT_TRUE(line.chip->writeLog().isEmpty()) << c.name << ": nothing goes out";
        }
    }
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().fileCount(), 1) << "full.pcm alone went in";
}

// The SV3410 keeps no chip PCM files: once the link knows the chip it sends
// none, and the chip itself refuses one that comes anyway.
TEST(Downloads, TheOlderChipStoresNoChipPcmFile)
{
    const QString path = writeFile(QStringLiteral("t42.pcm"), MarkedPcm);
    for (const bool identified : {true, false}) {
        cTolvane lib;
        SimLine line(QStringLiteral("115200"), "sim:SV3410", lib.GetCommObject());
        if (identified)
            lib.RefreshStatus();
        line.chip->clearLogs();
        try {
            (void)lib.DownloadToChip(path);
            ADD_FAILURE() << "stored";
        } catch (const LinkError &e) {
            EXPECT_EQ(e.description(),
                      identified ? QStringLiteral("The file t42.pcm cannot be stored in the SV3410, which keeps no "
                                                  "chip PCM files. Play it in the SV3410's real-time playback mode "
                                                  "instead.")
                                 : QStringLiteral("This chip does not store chip PCM files."));
            EXPECT_EQ(line.chip->writeLog().isEmpty(), identified);
        }
        lib.RefreshStatus();
        EXPECT_EQ(lib.GetStatus().fileCount(), 0);
        EXPECT_EQ(line.chip->downloadCount(), 0);
    }
}

// A file that cannot be opened is named by its whole path (the folder it
// was looked for in); any later refusal by its name alone.
TEST(Downloads, ARefusalNamesTheFileOneWay)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    const QString missing = QString::fromStdString(vxtest::freshDir("gone")) + QStringLiteral("/gone.dix");
    const QString cut = writeFile(QStringLiteral("cut.pcm"), markedPcmOf(100000));
    // Cut short as the first block has gone out, past what was read ahead.
    QObject::connect(&lib, &cTolvane::PercentDone, [&](int, bool &) { QFile::resize(cut, 200); });
    const struct
    {
        QString path, why;
    } cases[] = {
        {missing, QStringLiteral("Cannot open the file %1.").arg(missing)},
        {cut, QStringLiteral("The file cut.pcm could not be read to its end.")},
    };
    for (const auto &c : cases) {
        try {
            (void)lib.DownloadToChip(c.path);
            ADD_FAILURE() << "sent " << c.path.toStdString();
        } catch (const LinkError &e) {
            EXPECT_EQ(e.description(), c.why);
        }
    }
    EXPECT_EQ(line.chip->downloadCount(), 0);
}

// The compiler and the download check agree on the largest dictionary: a
// rule that brings the last group to the index's last offset compiles, and
// what it compiles goes into the chip.
TEST(Downloads, TheLargestDictionaryTheCompilerWritesGoesIn)
{
    const std::string dir = vxtest::freshDir("largest-dix");
    const std::string source = dir + "/big.dic", object = dir + "/big.dix";
    {
        std::ofstream(source, std::ios::binary) << "c\r\n(A)" + std::string(32172, 'X') + "=\r\n";
    }
    ASSERT_EQ(cLexmold().CompileFile(source, 1, object, true), 0);
    QFile compiled(QString::fromStdString(object));
    ASSERT_TRUE(compiled.open(QIODevice::ReadOnly));
    const QByteArray dix = compiled.readAll();
    ASSERT_EQ(dix.size(), 32794);

    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    EXPECT_EQ(lib.DownloadToChip(QString::fromStdString(object)), LinkResult::Done);
    EXPECT_EQ(line.chip->dictionary(), dix);
}

TEST(Downloads, APipeUnderAChipFileNameIsNotOpened)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    const QString fifo = QString::fromStdString(vxtest::freshDir("fifo")) + QStringLiteral("/fifo.pcm");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A writer that gives up once nobody reads, so the test ends either way.
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        if (fd >= 0) {
            (void)::write(fd, "\x01\x00\x00\x4e\x11", 5);
            ::close(fd);
        }
    });
    try {
        (void)lib.DownloadToChip(fifo);
        ADD_FAILURE() << "a pipe was read";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::FileError);
        EXPECT_EQ(e.description(), QStringLiteral("Cannot open the file %1.").arg(fifo));
    }
    EXPECT_EQ(line.chip->downloadCount(), 0);
    // Releases a writer still waiting for a reader.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    writer.join();
    ::close(reader);
}

namespace {

// Where the process's open descriptor on path stands, -1 when none is open.
qint64 readPosition(const QString &path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds.filePath(fd)) != path)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd);
        if (info.open(QIODevice::ReadOnly))
            return info.readLine().mid(4).trimmed().toLongLong(); // "pos:\t<n>"
    }
    return -1;
}

} // namespace

TEST(Downloads, ALargeFileIsReadAsItsBlocksGoOut)
{
    cTolvane lib;
    SimLine line(QStringLiteral("115200"), "sim", lib.GetCommObject());
    chipsim::ChipConfig cfg = line.chip->config();
    cfg.recMemBytes = 12 << 20;
    line.chip->setConfig(cfg);
    lib.RefreshStatus();
    const QString path = writeFile(QStringLiteral("near.pcm"), markedPcmOf(12 << 20));
    const qint64 size = QFileInfo(path).size();
    qint64 atHalf = -2;
    QObject::connect(&lib, &cTolvane::PercentDone, [&](int percent, bool &) {
        if (percent >= 50 && atHalf == -2)
            atHalf = readPosition(QFileInfo(path).canonicalFilePath());
    });
    ASSERT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    // Half way through, the file has been read about half way: what is in
    // memory is a block and the file's buffer, not the file.
    EXPECT_GE(atHalf, size / 2);
    EXPECT_LE(atHalf, size / 2 + size / 100 + 64 * 1024);
    EXPECT_EQ(line.chip->lastDownload().size(), size);
}
