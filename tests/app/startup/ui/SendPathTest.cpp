// The send path: slicing under CTS, stop requests, demo mode, and the text
// routines that prepare what is sent.
#include "app/Globals.h"
#include "app/startup/SendPath.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/cTolvane.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SendPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        qputenv("VOXMERE_COM6", "sim");
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(6);
        chipsim::ChipConfig cfg = chip->config();
        cfg.inputBufferSize = 10;
        cfg.secondsPerChar = 0.005;
        chip->setConfig(cfg);
        Comm = lib.GetCommObject();
        Comm->setCommPort(6);
        Comm->setSettings(QStringLiteral("9600,N,8,1"));
        Comm->setDTREnable(true);
        Comm->setPortOpen(true);
        Comm->setOutput(QByteArray("\r"));
        chip->clearLogs();
        Port = 6;
        StopRequested = false;
    }
    void TearDown() override
    {
        Comm->setPortOpen(false);
        Comm = nullptr;
        Port = 0;
        StopRequested = false;
        vx::Clock::setSpeed(1.0);
    }

    cTolvane lib;
    chipsim::Chip *chip = nullptr;
};

} // namespace

TEST_F(SendPath, TextGoesOutInPiecesOfEightEachWhileCtsIsOn)
{
    SendToChip(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    const auto &writes = chip->writeLog();
    ASSERT_EQ(writes.size(), 3);
    EXPECT_EQ(writes[0].bytes, QByteArray("ABCDEFGH"));
    EXPECT_EQ(writes[1].bytes, QByteArray("IJKLMNOP"));
    EXPECT_EQ(writes[2].bytes, QByteArray("QRST"));
    for (const chipsim::LoggedWrite &w : writes)
        EXPECT_TRUE(w.ctsHigh);
    // The buffer of ten filled after the second piece: the third waited.
    EXPECT_GE(writes[2].time - writes[1].time, 0.05);

    chip->clearLogs();
    SendToChip(QString());
    EXPECT_TRUE(chip->writeLog().isEmpty());
}

TEST_F(SendPath, StopRequestEndsAWaitForCts)
{
    chipsim::ChipFaults f;
    f.ctsStuckLow = true;
    chip->setFaults(f);
    QTimer::singleShot(100, [] { StopRequested = true; });
    const double start = vx::Clock::seconds();
    SendToChip(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_TRUE(StopRequested);
    EXPECT_LT(vx::Clock::seconds() - start, 2.0);
    EXPECT_TRUE(chip->writeLog().isEmpty());

    // Set between pieces: the rest stays unsent.
    chip->setFaults({});
    StopRequested = false;
    int writes = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        writes = int(chip->writeLog().size());
        if (writes >= 1)
            StopRequested = true;
    });
    poll.start(0);
    SendToChip(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(chip->writeLog().size(), 1);
}

TEST_F(SendPath, DemoModeSendsNothingAndAClosedPortIsAnError)
{
    Port = 0;
    SendToChip(QStringLiteral("hello"));
    EXPECT_TRUE(chip->writeLog().isEmpty());
    Port = 6;
    Comm->setPortOpen(false);
    EXPECT_THROW(SendToChip(QStringLiteral("hello")), LinkError);
    Comm->setPortOpen(true);
}

TEST_F(SendPath, WaitForCtsGivesUpSilentlyAfterFiveSeconds)
{
    vx::Clock::setSpeed(25.0);
    chipsim::ChipFaults f;
    f.ctsStuckLow = true;
    chip->setFaults(f);
    double start = vx::Clock::seconds();
    WaitForCTS();
    EXPECT_GE(vx::Clock::seconds() - start, 5.5);
    EXPECT_LT(vx::Clock::seconds() - start, 15.0) << "it gives up";
    chip->setFaults({});
    start = vx::Clock::seconds();
    WaitForCTS();
    EXPECT_LT(vx::Clock::seconds() - start, 1.0);
}

TEST(TextRoutines, HexEscapes)
{
    struct Case
    {
        QString in, out;
    } cases[] = {
        {QStringLiteral("\\41\\42"), QStringLiteral("AB")},
        {QStringLiteral("\\4G"), QStringLiteral("\\4G")},
        {QStringLiteral("\\\\41"), QStringLiteral("\\A")},
        {QStringLiteral("\\0a"), QString(QChar(10))},
        {QStringLiteral("\\0A"), QString(QChar(10))},
        {QStringLiteral("end\\"), QStringLiteral("end\\")},
        {QStringLiteral("end\\4"), QStringLiteral("end\\4")},
        {QStringLiteral("\\5C41"), QStringLiteral("\\41")}, // an escape's result is not read again
        {QStringLiteral("\\01" "5v"), QStringLiteral("\x01" "5v")},
        {QString(), QString()},
    };
    for (Case &c : cases) {
        QString text = c.in;
        EXPECT_EQ(ExpandHexEscapes(text), c.out) << c.in.toStdString();
        EXPECT_EQ(text, c.out) << "the argument changes too";
    }
    // Bytes 128-159 become the characters that go out as those bytes.
    QString euro = QStringLiteral("\\80");
    ExpandHexEscapes(euro);
    EXPECT_EQ(euro, QString(QChar(0x20AC)));
}

TEST(TextRoutines, HexByteShortcutDigitsAndVersion)
{
    EXPECT_EQ(HexByte(5), QStringLiteral("05"));
    EXPECT_EQ(HexByte(10), QStringLiteral("0A"));
    EXPECT_EQ(HexByte(255), QStringLiteral("FF"));
    EXPECT_EQ(HexByte(0), QStringLiteral("00"));

    QString text = QStringLiteral("~5v hello ~t~");
    EXPECT_EQ(ApplyCommandCharacter(text, QStringLiteral("~")), QStringLiteral("\x01" "5v hello \x01t\x01"));
    EXPECT_EQ(text, QStringLiteral("~5v hello ~t~")) << "only the result changes";
    for (const QString &off : {QString(), QString(QChar(0))}) {
        QString t = QStringLiteral("~5v") + QChar(0) + QStringLiteral("x");
        const QString before = t;
        EXPECT_EQ(ApplyCommandCharacter(t, off), before);
    }
    CommandChar = QStringLiteral("#");
    QString hashed = QStringLiteral("#1v");
    EXPECT_EQ(ApplyCommandCharacter(hashed), QStringLiteral("\x01" "1v"));
    CommandChar = QStringLiteral("~");

    QString digits = QStringLiteral("a1-2 3");
    EXPECT_EQ(ForceDigitsOnly(digits), QStringLiteral("123"));
    EXPECT_EQ(digits, QStringLiteral("123"));
    QString empty;
    EXPECT_EQ(ForceDigitsOnly(empty), QString());

    EXPECT_GE(GetWindowsVersion().toInt(), 500);
}
