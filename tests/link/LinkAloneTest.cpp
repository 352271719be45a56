// The link on its own: the reply parser, a registered kind of device, and
// what the library believes of a hostile or silent chip. A scripted device
// stands in for the chip, so no emulator is needed.
#include "common/Clock.h"
#include "link/Protocol.h"
#include "link/ReplyParser.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

using namespace vx::proto;

QByteArray frame(int id, const QByteArray &payload)
{
    QByteArray f;
    f += char(STX);
    f += char(id);
    f += char(payload.size());
    f += payload;
    quint8 sum = quint8(id + payload.size());
    for (char c : payload)
        sum = quint8(sum + quint8(c));
    return f + char(sum);
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

TEST(ReplyParser, FindsWholeWellSummedFramesOnly)
{
    const QByteArray good = frame(QStatus, "abc");
    QByteArray badSum = frame(QInfo, "xy");
    badSum[badSum.size() - 1] = char(badSum.back() + 1);
    struct Case
    {
        const char *what;
        QByteArray bytes;
        int id;
        bool found;
        qsizetype start;
    } cases[] = {
        {"a frame alone", good, QStatus, true, 0},
        {"behind a marker", QByteArray("\x05", 1) + good, QStatus, true, 1},
        {"another id", good, QInfo, false, 0},
        {"cut short", good.left(good.size() - 1), QStatus, false, 0},
        {"a bad sum", badSum, QInfo, false, 0},
        {"a stray STX whose length runs past a real frame", QByteArray("\x02\x06\x40", 3) + good, QStatus, true, 3},
        {"nothing", {}, QStatus, false, 0},
    };
    for (const Case &c : cases) {
        vx::ReplyFrame f;
        EXPECT_EQ(vx::findReplyFrame(c.bytes, c.id, &f), c.found) << c.what;
        if (c.found) {
            EXPECT_EQ(f.payload, QByteArray("abc")) << c.what;
            EXPECT_EQ(f.start, c.start) << c.what;
            EXPECT_EQ(f.end, c.start + good.size()) << c.what;
        }
    }
    const vx::ReplyScan scan = vx::parseReplies(QByteArray("zz") + good + badSum + frame(QPlay | MoreFlag, {}) + "\x02");
    ASSERT_EQ(scan.frames.size(), 2);
    EXPECT_EQ(scan.frames[1].id, QPlay | MoreFlag);
    EXPECT_EQ(scan.consumed, 2 + good.size() + badSum.size() + 4);
}

// A chip that answers each query with what the test scripts; CTS always on.
class ScriptedBackend final : public SerialBackend
{
public:
    ScriptedBackend(SerialComm *owner, std::function<QByteArray(const QByteArray &)> *answer)
        : SerialBackend(owner), mAnswer(answer)
    {
    }
    bool open(int, int, bool, bool, QString *) override { return mOpen = true; }
    void close() override { mOpen = false; }
    bool isOpen() const override { return mOpen; }
    void setBaud(int) override {}
    void setDtr(bool) override {}
    void setRts(bool) override {}
    bool cts() const override { return mOpen; }
    void write(const QByteArray &bytes) override
    {
        const QByteArray reply = (*mAnswer)(bytes);
        if (!reply.isEmpty())
            deliver(reply);
    }
    int pendingOutput() const override { return 0; }
    void dropOutput() override {}

private:
    std::function<QByteArray(const QByteArray &)> *mAnswer;
    bool mOpen = false;
};

class ScriptedKind final : public SerialDeviceKind
{
public:
    std::unique_ptr<SerialBackend> create(SerialComm *owner, int, const QString &) override
    {
        return std::make_unique<ScriptedBackend>(owner, &answer);
    }
    std::function<QByteArray(const QByteArray &)> answer;
};

class HostileChip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vx::Clock::setSpeed(8);
        registerSerialDeviceKind(QStringLiteral("scripted"), &kind);
        SerialComm::setProgramName(QStringLiteral("Voxmere"));
        qputenv("VOXMERE_COM3", "scripted:any");
        kind.answer = [](const QByteArray &) { return QByteArray(); };
        lib.GetCommObject()->setCommPort(3);
        lib.GetCommObject()->setPortOpen(true);
        QObject::connect(&lib, &cTolvane::PercentDone, [this](int, bool &cancel) {
            ++asked;
            cancel = cancelAt > 0 && asked >= cancelAt;
        });
    }
    void TearDown() override
    {
        lib.GetCommObject()->setPortOpen(false);
        registerSerialDeviceKind(QStringLiteral("scripted"), nullptr);
        qunsetenv("VOXMERE_COM3");
        vx::Clock::setSpeed(1);
    }
    // Answers a recording-memory query with a result of 0 and a 32-bit figure.
    void announce(int id, quint32 figure, const QByteArray &more = {})
    {
        kind.answer = [id, figure, more](const QByteArray &w) {
            return w.startsWith(QByteArray(1, char(CMD)) + QByteArray::number(id) + '?')
                       ? frame(id, QByteArray(1, 0) + le32(figure)) + more
                       : QByteArray();
        };
    }

    ScriptedKind kind;
    cTolvane lib;
    int asked = 0;
    int cancelAt = 0;
    QString folder = QString::fromStdString(
        vxtest::freshDir(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

TEST_F(HostileChip, SizesBeyondTheRecordingMemoryAreRefused)
{
    announce(QUpload, 0xFFFFFFFFu);
    try {
        (void)lib.UploadRecMemFile(folder + QStringLiteral("/big.pcm"), 1, false);
        FAIL() << "a 4 GB upload was believed";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::OutOfBounds);
    }
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/big.pcm")));

    announce(QPlay, 49u * 24 * 3600 * 1000); // 49 days
    try {
        (void)lib.PlayRecMemFile(1, false);
        FAIL() << "a 49-day play was believed";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::OutOfBounds);
    }
}

TEST_F(HostileChip, CancelIsHeardOnTheFirstBlock)
{
    QByteArray blocks;
    for (int i = 0; i < 100; ++i)
        blocks += frame(QUpload | MoreFlag, QByteArray(BlockBytes, char(i)));
    announce(QUpload, 100 * BlockBytes, blocks);
    cancelAt = 1;
    EXPECT_EQ(lib.UploadRecMemFile(folder + QStringLiteral("/cut.pcm"), 1, false), LinkResult::Cancelled);
    EXPECT_EQ(asked, 1);
}

TEST_F(HostileChip, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    const QString path = folder + QStringLiteral("/kept.pcm");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QByteArray blocks;
    for (int i = 0; i < 64; ++i)
        blocks += frame(QUpload | MoreFlag, QByteArray(BlockBytes, 'n'));
    announce(QUpload, 64 * BlockBytes, blocks);

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        (void)lib.UploadRecMemFile(path, 1, false);
    } catch (const LinkError &e) {
        message = e.description();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_TRUE(message.contains(QStringLiteral("File too large"))) << message.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old contents"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file is left";
}

// A chip that hears nothing: each member gives up within a few seconds.
TEST_F(HostileChip, ASilentChipIsGivenUpOnWithinSeconds)
{
    QFile f(folder + QStringLiteral("/d.bin"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, 'd'));
    f.close();
    const std::pair<const char *, std::function<void()>> members[] = {
        {"RefreshStatus", [&] { lib.RefreshStatus(); }},
        {"DownloadToChip", [&] { (void)lib.DownloadToChip(f.fileName()); }},
        {"UploadRecMemFile", [&] { (void)lib.UploadRecMemFile(folder + QStringLiteral("/u.pcm"), 1, false); }},
        {"DeleteRecMemFile", [&] { lib.DeleteRecMemFile(1, false); }},
        {"PlayRecMemFile", [&] { (void)lib.PlayRecMemFile(1, false); }},
        {"InitRecMem", [&] { lib.InitRecMem(); }},
        {"RepairRecMem", [&] { lib.RepairRecMem(); }},
    };
    for (const auto &[name, run] : members) {
        const double start = vx::Clock::seconds();
        try {
            run();
            ADD_FAILURE() << name << " believed a silent chip";
        } catch (const LinkError &e) {
            EXPECT_EQ(e.number(), LinkError::NoAnswer) << name;
        }
        EXPECT_LT(vx::Clock::seconds() - start, 5.0) << name;
    }
}

} // namespace
