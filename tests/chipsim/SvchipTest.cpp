// The handshake and a status query through the svchip program on a
// pseudo-terminal, with the real serial backend.
#include "Rig.h"

#include "chipsim/SimBackend.h"
#include "link/cTolvane.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace linktest;

namespace {

class Svchip : public ::testing::Test
{
protected:
    // Starts svchip with the arguments and points port 7 at its device.
    void start(const QStringList &args)
    {
        const QString program = QString::fromLocal8Bit(qgetenv("VX_BIN_DIR")) + QStringLiteral("/svchip");
        proc.start(program, args);
        ASSERT_TRUE(proc.waitForStarted(5000)) << program.toStdString();
        ASSERT_TRUE(proc.waitForReadyRead(5000));
        const QString path = QString::fromLocal8Bit(proc.readLine()).trimmed();
        ASSERT_TRUE(path.startsWith(QStringLiteral("/dev/"))) << path.toStdString();
        SerialComm::setProgramName(QStringLiteral("Voxmere"));
        qputenv("VOXMERE_COM7", path.toLocal8Bit());
        comm = lib.GetCommObject();
        comm->setCommPort(7);
    }
    void TearDown() override
    {
        if (comm)
            comm->setPortOpen(false);
        proc.kill();
        proc.waitForFinished(2000);
        qunsetenv("VOXMERE_COM7");
    }

    // The probe: CR CAN, wait, flush, CmdChar "99i" NUL, wait; true when a 99 came.
    bool handshake()
    {
        comm->setOutput(QByteArray("\r\x18"));
        pump(0.25);
        comm->setInBufferCount(0);
        comm->setOutput(C + "99i" + NUL);
        pump(0.5);
        return comm->Input().contains(char(99));
    }

    QProcess proc;
    cTolvane lib;
    SerialComm *comm = nullptr;
};

} // namespace

TEST_F(Svchip, HandshakeAndStatusOverAPseudoTerminal)
{
    start({QStringLiteral("--module"), QStringLiteral("2"), QStringLiteral("--firmware"), QStringLiteral("0301,0302")});
    comm->setSettings(QStringLiteral("115200,N,8,1"));
    comm->setInputMode(SerialComm::comInputModeBinary);
    comm->setPortOpen(true);
    comm->setDTREnable(true);
    EXPECT_EQ(chipsim::emulatorOf(*comm), nullptr);
    EXPECT_TRUE(comm->CTSHolding()) << "a pseudo-terminal reads as CTS on";
    ASSERT_TRUE(handshake());
    comm->setOutput(C + "+16g" + NUL);
    lib.RefreshStatus();
    EXPECT_TRUE(lib.GetStatus().POR() & 16);
    EXPECT_EQ(lib.GetChipInfo().moduleCode(), 2);
    EXPECT_EQ(lib.GetChipInfo().firmwareFirst(), 0x0301);
    EXPECT_EQ(lib.GetChipInfo().firmwareSecond(), 0x0302);
}

TEST_F(Svchip, AChipStuckAt9600AnswersOnlyAt9600)
{
    start({QStringLiteral("--stuck-9600")});
    comm->setSettings(QStringLiteral("115200,N,8,1"));
    comm->setPortOpen(true);
    comm->setDTREnable(true);
    EXPECT_FALSE(handshake());
    comm->setSettings(QStringLiteral("9600,N,8,1"));
    comm->setOutput("\x18" + C + "7h" + NUL);
    pump(0.25);
    EXPECT_TRUE(handshake());
}

TEST_F(Svchip, TheVoiceComesBackAtTheFastSpeedOverAPseudoTerminal)
{
    start({});
    comm->setSettings(QStringLiteral("9600,N,8,1"));
    comm->setInputMode(SerialComm::comInputModeBinary);
    comm->setPortOpen(true);
    comm->setDTREnable(true);
    ASSERT_TRUE(handshake());
    comm->setOutput(C + "11?" + NUL);
    pump(0.5); // as the program waits before it switches
    comm->setSettings(QStringLiteral("115200,N,8,1"));
    comm->setOutput(QByteArray(" hello there") + NUL);
    pump(0.5);
    comm->setInputLen(0);
    const QByteArray audio = comm->Input();
    EXPECT_GT(audio.size(), 400) << "samples at the chip's rate";
    comm->setOutput(QByteArray("\x18"));
    pump(0.25);
    comm->setSettings(QStringLiteral("9600,N,8,1"));
    EXPECT_TRUE(handshake()) << "the chip went back to the old speed at CAN";
}

// A typo in a value or a switch must not start a healthy chip.
TEST(SvchipOptions, BadValuesAreRefusedWithTheUsageAndCode2)
{
    const QString program = QString::fromLocal8Bit(qgetenv("VX_BIN_DIR")) + QStringLiteral("/svchip");
    const QStringList bad[] = {
        {QStringLiteral("--silnet")},
        {QStringLiteral("--fail-at"), QStringLiteral("5O")},
        {QStringLiteral("--fail-at"), QStringLiteral("101")},
        {QStringLiteral("--junk"), QStringLiteral("zz")},
        {QStringLiteral("--rate"), QStringLiteral("5")},
        {QStringLiteral("--recmem"), QStringLiteral("lots")},
        {QStringLiteral("--model"), QStringLiteral("SV3430")},
        {QStringLiteral("--firmware"), QStringLiteral("0301")},
        {QStringLiteral("--pace"), QStringLiteral("fast")},
        {QStringLiteral("--record-seconds"), QStringLiteral("-1")},
        {QStringLiteral("stray")},
    };
    for (const QStringList &args : bad) {
        QProcess proc;
        proc.start(program, args);
        ASSERT_TRUE(proc.waitForFinished(5000)) << args.join(u' ').toStdString();
        EXPECT_EQ(proc.exitCode(), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(proc.readAllStandardError().contains("usage: svchip")) << args.join(u' ').toStdString();
        EXPECT_TRUE(proc.readAllStandardOutput().isEmpty()) << "no device was served";
    }
}
