// The A/D converter streaming to the host, and recording into the
// recording memory with its status bytes.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace linktest;

namespace {

quint8 source(int channel, qint64 n)
{
    return quint8(10 * channel + n % 7 + 1);
}

} // namespace

TEST(Recorder, TheConverterStreamsFramesUntilStopped)
{
    SimLine line;
    line.chip->setAdcSource(source);
    // AN0-AN3, continuous, external amplifier: four bytes a conversion.
    line.send("\x18" + C + "91$" + NUL);
    const QByteArray frames = line.read(0.05, 0.1);
    ASSERT_GE(frames.size(), 8);
    EXPECT_EQ(frames.size() % 4, 0);
    EXPECT_EQ(frames.left(8), QByteArray("\x01\x0b\x15\x1f\x02\x0c\x16\x20", 8)) << frames.toHex().constData();
    line.send(C + "-16$" + NUL);
    line.read(0.05);
    EXPECT_FALSE(line.chip->adcRunning());
    EXPECT_TRUE(line.read(0.05).isEmpty());

    // A single conversion of AN2, then nothing.
    line.send("\x18" + C + "2$" + NUL);
    const QByteArray one = line.read(0.05);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ((quint8(one[0]) - 1) / 10, 2) << "a sample of AN2";
    EXPECT_FALSE(line.chip->adcRunning());

    // Ext Trig: nothing until the trigger.
    line.send("\x18" + C + "48$" + NUL);
    EXPECT_TRUE(line.read(0.05).isEmpty());
    line.chip->triggerAdc();
    EXPECT_FALSE(line.read(0.05, 0.1).isEmpty());
}

TEST(Recorder, RecordingStatusScripts)
{
    const QByteArray record = C + "128$" + NUL + C + "206l00042" + NUL;
    const struct
    {
        const char *what;
        std::function<void(chipsim::Chip &)> prepare;
        QByteArray statuses; // what the chip sends, CAN included
        int files;           // files afterwards
    } cases[] = {
        {"ends by itself", [](chipsim::Chip &c) { auto k = c.config(); k.recordSeconds = 0.6; c.setConfig(k); },
         QByteArray("\x0f\x0f\x00", 3), 1},
        {"out of memory", [](chipsim::Chip &c) { auto k = c.config(); k.recMemBytes = 1500; c.setConfig(k); },
         "\x0f\x08", 0},
        {"corrupt", [](chipsim::Chip &c) { c.setRecMemCorrupt(true); }, "\x05", 0},
        {"write error",
         [](chipsim::Chip &c) {
             auto k = c.config();
             k.recordSeconds = 0.6;
             c.setConfig(k);
             c.faults().recordWriteError = true;
         },
         QByteArray("\x0f\x0f\x00\x07", 4), 0},
        {"no memory", [](chipsim::Chip &c) { auto k = c.config(); k.recMemBytes = -1; c.setConfig(k); }, "\x0e", 0},
        {"incompatible library", [](chipsim::Chip &c) { c.setRecMemIncompatible(true); }, "\x0c\x0e", 0},
        {"duplicate tag",
         [](chipsim::Chip &c) {
             c.setSetting('g', 0x98);
             c.addRecFile(42, chipsim::makeMarkedPcm(78, 42, "x"));
         },
         "\x0d", 1},
        {"scripted burst", [](chipsim::Chip &c) { c.faults().recordScript = {"\x0f\x0f", "\x0f", QByteArray(1, 0)}; },
         QByteArray("\x0f\x0f\x0f\x00", 4), 1},
    };
    for (const auto &c : cases) {
        SimLine line;
        c.prepare(*line.chip);
        line.send(record);
        QByteArray got;
        pumpUntil([&] {
            got += line.read(0.01, 0.02);
            return !got.isEmpty() && QByteArray("\x00\x05\x08\x0d\x0e", 5).contains(got.back());
        });
        line.send("\x18"); // the program ends every recording with CAN
        got += line.read(0.1);
        EXPECT_EQ(got, c.statuses) << c.what << ": " << got.toHex().constData();
        EXPECT_EQ(line.chip->recFiles().size(), c.files) << c.what;
        EXPECT_FALSE(line.chip->recording()) << c.what;
    }
}

TEST(Recorder, ARecordingIsAMarkedFileUnderItsTag)
{
    SimLine line;
    line.chip->setAdcSource(source);
    line.send(C + "129$" + NUL + C + "78l00042" + NUL); // AN1 for the recorder, plain data
    EXPECT_TRUE(line.read(0.1).isEmpty()) << "an armed converter sends nothing";
    line.send("\x18");
    ASSERT_EQ(line.chip->recFiles().size(), 1);
    const chipsim::RecFile &f = line.chip->recFiles()[0];
    EXPECT_EQ(f.tag, 42);
    const QByteArray data = f.pcm.mid(16);
    ASSERT_GE(data.size(), 2);
    const QByteArray samples = data.left(data.size() - (data.endsWith(QByteArray("\0\x80", 2)) ? 2 : 1));
    EXPECT_EQ(f.pcm, chipsim::makeMarkedPcm(78, 42, samples));
    EXPECT_EQ(qint8(data[0]), 11 - 128) << "the samples of AN1, signed";
    EXPECT_EQ(line.chip->statusRecord().fileCount(), 1);
}
