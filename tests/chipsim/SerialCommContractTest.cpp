// One contract for the serial object, run against each backend: the
// in-process emulator and a real serial device (a pseudo-terminal served by
// the emulator).
#include "Rig.h"

#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "chipsim/PtyServer.h"
#include "link/SerialComm.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <memory>

using namespace linktest;

namespace {

enum class Backend { Emulator, PseudoTerminal };

class SerialContract : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Emulator) {
            SerialComm::setProgramName(QStringLiteral("Voxmere"));
            qputenv("VOXMERE_COM4", "sim");
            chipsim::resetSimulatedChips();
            chip = chipsim::simulatedChip(4);
        } else {
            own = std::make_unique<chipsim::Chip>();
            server = std::make_unique<chipsim::PtyServer>(own.get());
            ASSERT_TRUE(server->start()) << server->errorString().toStdString();
            qputenv("VOXMERE_COM4", server->slavePath().toLocal8Bit());
            chip = own.get();
        }
        ASSERT_NE(chip, nullptr);
        comm.setCommPort(4);
        comm.setSettings(QStringLiteral("115200,N,8,1"));
        comm.setInputMode(SerialComm::comInputModeBinary);
        comm.setDTREnable(true);
        comm.setPortOpen(true);
        QObject::connect(&comm, &SerialComm::CommEvent, [this] { ++events; });
    }
    void TearDown() override { comm.setPortOpen(false); }

    void probe() { comm.setOutput("\r\x18" + C + "99i" + NUL); }

    SerialComm comm;
    chipsim::Chip *chip = nullptr;
    std::unique_ptr<chipsim::Chip> own;
    std::unique_ptr<chipsim::PtyServer> server;
    int events = 0;
};

} // namespace

TEST_P(SerialContract, ProbeReplyArrivesThroughCommEvent)
{
    EXPECT_TRUE(comm.PortOpen());
    EXPECT_TRUE(comm.CTSHolding());
    EXPECT_EQ(chipsim::emulatorOf(comm) != nullptr, GetParam() == Backend::Emulator);
    comm.setRThreshold(1);
    probe();
    EXPECT_EQ(events, 0) << "never raised from inside a write";
    ASSERT_TRUE(pumpUntil([&] { return events > 0; }));
    EXPECT_EQ(comm.InBufferCount(), 1);
    EXPECT_EQ(comm.Input(), QByteArray(1, 99));
    EXPECT_EQ(comm.InBufferCount(), 0);
}

TEST_P(SerialContract, CommEventOnlyAtTheThreshold)
{
    comm.setRThreshold(0);
    probe();
    ASSERT_TRUE(pumpUntil([&] { return comm.InBufferCount() == 1; }));
    pump(0.05);
    EXPECT_EQ(events, 0) << "RThreshold 0 raises no events";

    comm.setInBufferCount(0);
    comm.setRThreshold(2);
    probe();
    ASSERT_TRUE(pumpUntil([&] { return comm.InBufferCount() == 1; }));
    pump(0.05);
    EXPECT_EQ(events, 0) << "one byte is below the threshold of two";
    comm.setOutput(C + "99i" + NUL);
    ASSERT_TRUE(pumpUntil([&] { return events > 0; }));
    EXPECT_EQ(comm.InBufferCount(), 2);

    // InputLen limits one read; InBufferCount = 0 discards the rest.
    comm.setInputLen(1);
    EXPECT_EQ(comm.Input(), QByteArray(1, 99));
    EXPECT_EQ(comm.InBufferCount(), 1);
    comm.setInBufferCount(0);
    EXPECT_EQ(comm.InBufferCount(), 0);
    EXPECT_TRUE(comm.Input().isEmpty());
}

TEST_P(SerialContract, BeyondInBufferSizeTheOldestBytesGiveWay)
{
    // A chip that sends more than the buffer holds before the program reads.
    chipsim::ChipFaults f;
    f.junkBeforeReply = QByteArray(40, 'j');
    chip->setFaults(f);
    comm.setInBufferSize(16);
    comm.setRThreshold(1);
    probe();
    ASSERT_TRUE(pumpUntil([&] { return events > 0; }));
    pump(0.05);
    EXPECT_EQ(comm.InBufferCount(), 16);
    EXPECT_TRUE(comm.takeOverrun()) << "the receive handler learns of the loss";
    EXPECT_FALSE(comm.takeOverrun());
    EXPECT_EQ(comm.Input(), QByteArray(15, 'j') + char(99)) << "the newest bytes stay";

    chip->setFaults({});
    probe();
    ASSERT_TRUE(pumpUntil([&] { return comm.InBufferCount() == 1; }));
    EXPECT_FALSE(comm.takeOverrun()) << "a reply that fits is no overrun";
}

TEST_P(SerialContract, RepliesAtTheWrongSpeedAreLost)
{
    chipsim::ChipFaults f;
    f.stuckAt9600 = true;
    chip->setFaults(f);
    probe();
    pump(0.2);
    EXPECT_EQ(comm.InBufferCount(), 0);
    comm.setSettings(QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(comm.baudRate(), 9600);
    probe();
    ASSERT_TRUE(pumpUntil([&] { return comm.InBufferCount() > 0; }));
    EXPECT_EQ(comm.Input(), QByteArray(1, 99));
    // The chip saw the first probe's bytes at 115200 and lost them.
    bool lostFast = false;
    for (const chipsim::LoggedByte &b : chip->byteLog())
        lostFast |= b.baud == 115200 && !b.accepted;
    EXPECT_TRUE(lostFast);
}

TEST_P(SerialContract, PropertiesRefuseWhatTheyCannotTake)
{
    EXPECT_THROW(comm.setSettings(QStringLiteral("fast")), LinkError);
    EXPECT_THROW(comm.setSettings(QStringLiteral("9600,X,8,1")), LinkError);
    EXPECT_EQ(comm.Settings(), QStringLiteral("115200,N,8,1"));
    try {
        comm.setCommPort(2);
        FAIL() << "changing the port of an open port";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::PortAlreadyOpen);
    }
    EXPECT_THROW(comm.setPortOpen(true), LinkError);
    comm.setPortOpen(false);
    EXPECT_FALSE(comm.CTSHolding());
    EXPECT_TRUE(comm.Input().isEmpty());
    try {
        comm.setOutput(QByteArray("x"));
        FAIL() << "writing to a closed port";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::PortNotOpen);
        EXPECT_FALSE(e.description().isEmpty());
    }
    comm.setPortOpen(true); // reopens on the same chip
    probe();
    EXPECT_TRUE(pumpUntil([&] { return comm.InBufferCount() == 1; }));
}

INSTANTIATE_TEST_SUITE_P(Backends, SerialContract,
                         ::testing::Values(Backend::Emulator, Backend::PseudoTerminal),
                         [](const auto &info) {
                             return info.param == Backend::Emulator ? std::string("Emulator")
                                                                    : std::string("PseudoTerminal");
                         });

TEST(SerialComm, PortNumbersMapToDevices)
{
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qunsetenv("VOXMERE_COM9");
    EXPECT_EQ(SerialComm::deviceFor(9), QStringLiteral("/dev/ttyS8"));
    SaveSetting(QStringLiteral("Voxmere"), QStringLiteral("Ports"), QStringLiteral("COM9"), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(SerialComm::deviceFor(9), QStringLiteral("/dev/ttyACM0"));
    qputenv("VOXMERE_COM9", "/dev/ttyUSB0");
    EXPECT_EQ(SerialComm::deviceFor(9), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(chipsim::simulatedChip(9), nullptr);
    qputenv("VOXMERE_COM9", "sim:SV3410");
    chipsim::Chip *chip = chipsim::simulatedChip(9);
    ASSERT_NE(chip, nullptr);
    EXPECT_EQ(chip->config().model, chipsim::Model::SV3410);
    EXPECT_EQ(chipsim::simulatedChip(9), chip) << "one chip per port for the program's life";
    qunsetenv("VOXMERE_COM9");

    SerialComm comm;
    comm.setCommPort(9);
    comm.setPortOpen(false); // closing a closed port does nothing
    qputenv("VOXMERE_COM9", "/nonexistent/tty");
    try {
        comm.setPortOpen(true);
        FAIL() << "opening a missing device";
    } catch (const LinkError &e) {
        EXPECT_EQ(e.number(), LinkError::InvalidPortNumber);
    }
    EXPECT_FALSE(comm.PortOpen());
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qunsetenv("VOXMERE_COM9");
}

TEST(SerialComm, EmulatorCtsFollowsDtr)
{
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qputenv("VOXMERE_COM8", "sim");
    SerialComm comm;
    comm.setCommPort(8);
    comm.setPortOpen(true);
    EXPECT_FALSE(comm.CTSHolding()) << "the chip's CTS stays off until DTR is on";
    comm.setDTREnable(true);
    EXPECT_TRUE(comm.CTSHolding());
    comm.setPortOpen(false);
    qunsetenv("VOXMERE_COM8");
}
