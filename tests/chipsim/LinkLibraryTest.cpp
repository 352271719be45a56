// The link library's members against the in-process chip.
#include "Rig.h"

#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "link/cTolvane.h"
#include "platform/FileNames.h"
#include "tests/support/Bytes.h"
#include "tests/support/TestEnv.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <fstream>

using namespace linktest;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A marked chip PCM file of the given (even) data length, end mark included.
QByteArray markedPcm(quint16 tag, int dataLength, char fill)
{
    return chipsim::makeMarkedPcm(78, tag, QByteArray(dataLength - 1, fill));
}

class LinkLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SerialComm::setProgramName(QStringLiteral("Voxmere"));
        qputenv("VOXMERE_COM5", "sim");
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(5);
        comm = lib.GetCommObject();
        comm->setCommPort(5);
        comm->setSettings(QStringLiteral("115200,N,8,1"));
        comm->setDTREnable(true);
        comm->setPortOpen(true);
        comm->setOutput(QByteArray("\r\x18"));
        lib.setReplyTimeout(3.0);
        QObject::connect(&lib, &cTolvane::PercentDone, [this](int percent, bool &cancel) {
            percents.push_back(percent);
            if (cancelAt >= 0 && percent >= cancelAt)
                cancel = true;
        });
    }
    void TearDown() override { comm->setPortOpen(false); }

    cTolvane lib;
    SerialComm *comm = nullptr;
    chipsim::Chip *chip = nullptr;
    std::vector<int> percents;
    int cancelAt = -1;
};

} // namespace

TEST(LinkRecords, GettersReturnWholeRecordsWithoutAPort)
{
    cTolvane lib;
    EXPECT_FALSE(lib.GetCommObject()->PortOpen());
    const LinkStatus s = lib.GetStatus();
    EXPECT_EQ(s.bytes.size(), 56u);
    EXPECT_EQ(s.recMemBytes(), -1);
    EXPECT_EQ(s.freeBytes(), -1);
    EXPECT_EQ(s.POR(), 0);
    EXPECT_EQ(lib.GetChipInfo().bytes, ChipInfo().bytes);
    try {
        lib.RefreshStatus();
        FAIL() << "a member without an open port";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::PortNotOpen);
    }
    EXPECT_THROW(lib.DownloadToChip(QStringLiteral("x.dix")), LinkError);
}

TEST(LinkRecords, FieldsAreLittleEndianAtTheirOffsets)
{
    LinkStatus s;
    s.set16(LinkStatus::OffPitch, -2);
    s.set32(LinkStatus::OffFreeBytes, 0x01020304);
    EXPECT_EQ(s.bytes[6], 0xFE);
    EXPECT_EQ(s.bytes[7], 0xFF);
    EXPECT_EQ(s.pitch(), -2);
    EXPECT_EQ(s.bytes[48], 0x04);
    EXPECT_EQ(s.bytes[51], 0x01);
    EXPECT_EQ(s.freeBytes(), 0x01020304);
}

TEST_F(LinkLibrary, RefreshStatusShowsCommandsJustWritten)
{
    comm->setOutput(C + "+16g" + NUL);
    lib.RefreshStatus();
    EXPECT_TRUE(lib.GetStatus().POR() & 16);
    EXPECT_EQ(lib.GetStatus().recMemBytes(), chip->config().recMemBytes);
    EXPECT_EQ(lib.GetChipInfo().moduleCode(), 1);
    EXPECT_EQ(lib.GetChipInfo().modelBits(), 1);
    comm->setOutput(C + "-16g" + NUL);
    lib.RefreshStatus();
    EXPECT_FALSE(lib.GetStatus().POR() & 16);

    // After the port closed the last view stays.
    comm->setPortOpen(false);
    EXPECT_EQ(lib.GetStatus().recMemBytes(), chip->config().recMemBytes);
    EXPECT_EQ(lib.GetChipInfo().moduleCode(), 1);
    comm->setPortOpen(true);
}

TEST_F(LinkLibrary, RepliesSurviveJunkAndASilentChipIsAnError)
{
    chipsim::ChipFaults f;
    f.junkBeforeReply = QByteArray("\x02\x06\x38\x99\x02", 5); // looks like a frame start
    chip->setFaults(f);
    comm->setOutput(C + "+16g" + NUL);
    lib.RefreshStatus();
    EXPECT_TRUE(lib.GetStatus().POR() & 16);
    // Bytes in front of the replies are not the library's: they wait for
    // the program, in order.
    EXPECT_EQ(comm->Input(), f.junkBeforeReply + f.junkBeforeReply);

    // A stray frame start whose length runs past the real reply.
    f.junkBeforeReply = QByteArray("\x02\x06\xFF", 3);
    chip->setFaults(f);
    comm->setOutput(C + "-16g" + NUL);
    lib.RefreshStatus();
    EXPECT_FALSE(lib.GetStatus().POR() & 16);
    EXPECT_EQ(comm->Input(), f.junkBeforeReply + f.junkBeforeReply);

    f = {};
    f.silent = true;
    chip->setFaults(f);
    lib.setReplyTimeout(0.3);
    try {
        lib.RefreshStatus();
        FAIL() << "a silent chip";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::NoAnswer);
        EXPECT_EQ(e.description(), QStringLiteral("The chip did not answer."));
    }
}

TEST_F(LinkLibrary, CommEventIsHeldWhileAMemberRunsAndProgramBytesSurvive)
{
    int events = 0;
    QObject::connect(&lib, &cTolvane::CommEvent, [&] { ++events; });
    comm->setRThreshold(1);
    comm->setOutput(C + "99i" + NUL);
    ASSERT_TRUE(pumpUntil([&] { return events == 1; }));
    // A second marker's reply comes in while the member runs.
    comm->setOutput(C + "98i" + NUL);
    bool inside = false;
    int eventsInside = 0;
    QObject::connect(&lib, &cTolvane::CommEvent, [&] { eventsInside += inside; });
    inside = true;
    lib.RefreshStatus();
    inside = false;
    EXPECT_EQ(eventsInside, 0);
    EXPECT_TRUE(pumpUntil([&] { return events >= 2; })) << "waiting bytes are announced after the member";
    // The 98 came during the member or after it: either way it waits behind the 99.
    EXPECT_TRUE(pumpUntil([&] { return comm->InBufferCount() == 2; }));
    EXPECT_EQ(comm->Input(), QByteArray("\x63\x62"));
}

TEST_F(LinkLibrary, DownloadSendsTheFileUnchangedWithProgress)
{
    QByteArray data = vxtest::kDictionaryHead;
    QRandomGenerator gen(7);
    while (data.size() < 30 * 1024)
        data.append(char(gen.bounded(256)));
    const QString path = writeFile(QStringLiteral("big.dix"), data);
    std::vector<int> status;
    QObject::connect(&lib, &cTolvane::ChipStatus, [&](int m) { status.push_back(m); });
    bool confirmAsked = false;
    QObject::connect(&lib, &cTolvane::ConfirmUpdate, [&](bool &) { confirmAsked = true; });

    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    EXPECT_EQ(status, std::vector<int>{6});
    EXPECT_FALSE(confirmAsked);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(chip->lastDownload(), data);
    EXPECT_EQ(chip->dictionary(), data);
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().dictionaryLoaded(), 1);
}

TEST_F(LinkLibrary, CancelledDownloadIsReportedAndNotStored)
{
    const QString path = writeFile(QStringLiteral("words.dix"), vxtest::kDictionaryHead + QByteArray(30 * 1024, 'x'));
    cancelAt = 50;
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Cancelled);
    EXPECT_LE(percents.back(), 51);
    EXPECT_EQ(chip->downloadCount(), 0);
    EXPECT_TRUE(chip->dictionary().isEmpty());
    // The chip is back to taking commands.
    lib.RefreshStatus();
    cancelAt = -1;
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    EXPECT_EQ(chip->downloadCount(), 1);
}

TEST_F(LinkLibrary, TransferFailingPartWayIsAnErrorWithADescription)
{
    const QString path = writeFile(QStringLiteral("rules.dix"), vxtest::kDictionaryHead + QByteArray(20000, 'a'));
    chipsim::ChipConfig slow = chip->config();
    slow.storeBytesPerSecond = 1e6; // the failure report reaches the library part way
    chip->setConfig(slow);
    chipsim::ChipFaults f;
    f.failTransferAtPercent = 30;
    chip->setFaults(f);
    percents.clear();
    try {
        lib.DownloadToChip(path);
        FAIL() << "the chip failed the transfer";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::ChipRejected);
        EXPECT_EQ(e.description(), QStringLiteral("The transfer to the chip failed."));
    }
    EXPECT_TRUE(chip->dictionary().isEmpty());
    EXPECT_LT(percents.back(), 100) << "the library stopped when the chip failed";
    chip->setFaults({});
    lib.RefreshStatus();
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    EXPECT_EQ(chip->dictionary().size(), 20018);

    // CTS that never comes back is an error too, not a hang.
    f = {};
    f.ctsStuckLow = true;
    chip->setFaults(f);
    lib.setCtsTimeout(0.2);
    try {
        lib.DownloadToChip(path);
        FAIL() << "CTS stayed off";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::NotReady);
    }
    EXPECT_THROW(lib.DownloadToChip(path + QStringLiteral(".missing")), LinkError);
}

TEST_F(LinkLibrary, FirmwareAsksFirstAndCarriesItsVersion)
{
    const QString path = writeFile(QStringLiteral("m$6e2b17.bin"), chipsim::makeFirmwareImage(1, 0x0305));
    bool refuse = true;
    int asked = 0;
    QObject::connect(&lib, &cTolvane::ConfirmUpdate, [&](bool &cancel) {
        ++asked;
        cancel = refuse;
    });
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Cancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(chip->firmwareWrites(), 0);

    refuse = false;
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    EXPECT_EQ(chip->firmwareWrites(), 1);
    EXPECT_FALSE(comm->CTSHolding()) << "the chip restarts after an image";
    ASSERT_TRUE(pumpUntil([&] { return comm->CTSHolding(); }, 3.0));
    lib.RefreshStatus(); // at the same speed
    EXPECT_EQ(lib.DownloadToChip(writeFile(QStringLiteral("m$70c4d8.bin"), chipsim::makeFirmwareImage(2, 0x0306))),
              LinkResult::Done) << "the second image follows the first at once";
    ASSERT_TRUE(pumpUntil([&] { return comm->CTSHolding(); }, 3.0));
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetChipInfo().firmwareFirst(), 0x0305);
    EXPECT_EQ(lib.GetChipInfo().firmwareSecond(), 0x0306);

    const QString junk = writeFile(QStringLiteral("junk.bin"), QByteArray(4096, 'j'));
    try {
        lib.DownloadToChip(junk);
        FAIL() << "not an image";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("The file is not a chipset image."));
    }
}

TEST_F(LinkLibrary, RecordingMemoryMembers)
{
    const QByteArray seven = markedPcm(7, 2000, 0x11);
    const QByteArray nine = markedPcm(9, 400, 0x22);
    ASSERT_TRUE(chip->addRecFile(7, seven));
    ASSERT_TRUE(chip->addRecFile(9, nine));
    const QString folder = QString::fromStdString(vxtest::freshDir("uploads"));

    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/nine.pcm"), 9, true), LinkResult::Done);
    EXPECT_EQ(readFile(folder + QStringLiteral("/nine.pcm")), nine);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/first.pcm"), 0, false), LinkResult::Done);
    EXPECT_EQ(readFile(folder + QStringLiteral("/first.pcm")), seven);
    // A name that is not UTF-8 is written as its bytes say.
    const QByteArray raw = QFile::encodeName(folder) + "/t\xe9n.pcm";
    EXPECT_EQ(lib.UploadRecMemFile(vx::fileNameFromBytes(raw), 9, true), LinkResult::Done);
    std::ifstream written(raw.constData(), std::ios::binary);
    EXPECT_EQ(QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(written), {})), nine);

    cancelAt = 0;
    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/cut.pcm"), 7, true), LinkResult::Cancelled);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/cut.pcm"))) << "no partial file";
    // Cancelled as the last block arrives: the file of that name stays as it was.
    cancelAt = 100;
    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/nine.pcm"), 7, true), LinkResult::Cancelled);
    EXPECT_EQ(readFile(folder + QStringLiteral("/nine.pcm")), nine);
    cancelAt = -1;
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().fileCount(), 2);

    // Play runs for the sound's length (2000 bytes at 8000 Hz) unless cancelled.
    EXPECT_EQ(lib.PlayRecMemFile(9, true), LinkResult::Done);
    cancelAt = 0;
    EXPECT_EQ(lib.PlayRecMemFile(7, true), LinkResult::Cancelled);
    EXPECT_FALSE(chip->playingRecording());
    cancelAt = -1;

    lib.DeleteRecMemFile(7, true);
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().fileCount(), 1);
    EXPECT_EQ(lib.GetStatus().freeBytes(), chip->config().recMemBytes - nine.size());
    try {
        lib.DeleteRecMemFile(7, true);
        FAIL() << "no such file";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("There is no such file in the recording memory."));
    }

    chip->setRecMemCorrupt(true);
    EXPECT_THROW(lib.PlayRecMemFile(0, false), LinkError);
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().freeBytes(), -2);
    lib.RepairRecMem();
    lib.RefreshStatus();
    EXPECT_GE(lib.GetStatus().freeBytes(), 0);
    chipsim::ChipConfig cfg = chip->config();
    cfg.recMemWorkSeconds = 0.6;
    chip->setConfig(cfg);
    std::vector<int> status;
    QObject::connect(&lib, &cTolvane::ChipStatus, [&](int m) { status.push_back(m); });
    lib.InitRecMem();
    ASSERT_GE(status.size(), 2u) << "the chip's work is reported";
    EXPECT_EQ(status.front(), 4);
    EXPECT_EQ(status.size() % 2, 0u) << "an even number of blinks leaves the label as it was";
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().fileCount(), 0);
    EXPECT_EQ(lib.GetStatus().freeBytes(), chip->config().recMemBytes);

    // A marked chip PCM download lands in the recording memory under its tag.
    const QString pcm = writeFile(QStringLiteral("beep.pcm"), markedPcm(300, 100, 0x33));
    EXPECT_EQ(lib.DownloadToChip(pcm), LinkResult::Done);
    ASSERT_EQ(chip->recFiles().size(), 1);
    EXPECT_EQ(chip->recFiles()[0].tag, 300);
}

TEST_F(LinkLibrary, AMemberRefusesToRunInsideAnother)
{
    const QString path = writeFile(QStringLiteral("a.dix"), vxtest::kDictionaryHead + QByteArray(4000, 'd'));
    bool nestedFailed = false;
    QObject::connect(&lib, &cTolvane::PercentDone, [&](int, bool &) {
        try {
            lib.RefreshStatus();
        } catch (const LinkError &e) {
            nestedFailed = e.number() == LinkError::Busy;
        }
    });
    EXPECT_EQ(lib.DownloadToChip(path), LinkResult::Done);
    EXPECT_TRUE(nestedFailed);
}

namespace {

// A compiled sound library of the newer flavour with the given sounds.
QByteArray soundLibrary(const std::vector<std::pair<quint16, QByteArray>> &sounds, bool breakSum = false)
{
    QByteArray body("\xEC\xDB\xFF\xFF", 4);
    for (const auto &[tag, data] : sounds) {
        const int n = int(data.size());
        body.append(char(n & 0xFF));
        body.append(char((n >> 8) & 0xFF));
        body.append(char(n >> 16));
        body.append(char(78));
        body.append(char(tag & 0xFF));
        body.append(char(tag >> 8));
        body.append(data);
    }
    if (body.size() % 2)
        body.append('\0');
    QByteArray lib("\r\r\x18\x1e\x01" "223w", 9);
    const quint32 len = quint32(body.size());
    for (int i = 0; i < 4; ++i)
        lib.append(char((len >> (8 * i)) & 0xFF));
    lib.append(QByteArray(16, 0));
    lib.append(body);
    quint16 sum = 0;
    for (qsizetype i = 9; i < lib.size(); ++i)
        sum = quint16(sum + quint8(lib[i]));
    if (breakSum)
        ++sum;
    lib.append(char(sum & 0xFF));
    lib.append(char(sum >> 8));
    return lib;
}

} // namespace

TEST_F(LinkLibrary, SoundLibraryFillsTheRecordingMemory)
{
    const QString good = writeFile(QStringLiteral("lib.sfx"),
                                   soundLibrary({{12, QByteArray(301, 0x10)}, {40, QByteArray(100, 0x20)}}));
    EXPECT_EQ(lib.DownloadToChip(good), LinkResult::Done);
    lib.RefreshStatus();
    EXPECT_EQ(lib.GetStatus().fileCount(), 2);
    ASSERT_EQ(chip->recFiles().size(), 2);
    EXPECT_EQ(chip->recFiles()[1].tag, 40);

    // The uploaded sound is a marked chip PCM file with the library's tag.
    const QString folder = QString::fromStdString(vxtest::freshDir("sfx"));
    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/t12.pcm"), 12, true), LinkResult::Done);
    const QByteArray pcm = readFile(folder + QStringLiteral("/t12.pcm"));
    ASSERT_EQ(pcm.size(), 16 + 301);
    EXPECT_EQ(pcm.left(8), QByteArray("\r\r\x1e\x01" "78#\0", 8));
    EXPECT_EQ(quint8(pcm[8]) | (quint8(pcm[9]) << 8), 0xDBC0);
    EXPECT_EQ(quint8(pcm[10]) | (quint8(pcm[11]) << 8), 301);
    EXPECT_EQ(quint8(pcm[14]), 12);

    const QString bad = writeFile(QStringLiteral("bad.sfx"), soundLibrary({{1, QByteArray(10, 1)}}, true));
    try {
        lib.DownloadToChip(bad);
        FAIL() << "a wrong check sum";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::ChipRejected);
    }
    EXPECT_EQ(chip->recFiles().size(), 2) << "a damaged library changes nothing";

    // Under a name that shows no kind its first bytes show it.
    EXPECT_EQ(lib.DownloadToChip(writeFile(QStringLiteral("set.v2"), soundLibrary({{9, QByteArray(20, 9)}}))),
              LinkResult::Done);
    ASSERT_EQ(chip->recFiles().size(), 1);
    EXPECT_EQ(chip->recFiles()[0].tag, 9);
}
