// The chip speaking through the serial object: markers as speech reaches
// them, CAN, the transcription of "10?" and the audio of "11?".
#include "Rig.h"

#include <gtest/gtest.h>

using namespace linktest;

TEST(Speech, MarkersComeAsTheWordsAreSpokenAndCanEndsAll)
{
    SimLine line;
    line.send("\x18" + C + "t" + NUL + " " + C + "99i" + "hello" + " " + C + "99i" + "big world" + " ," + C + "98i" +
              NUL);
    EXPECT_EQ(line.read(0.2), QByteArray("cc" "b"));
    QByteArrayList words;
    for (const chipsim::SpokenWord &w : line.chip->spokenWords())
        words << w.text;
    EXPECT_EQ(words, (QByteArrayList{"hello", "big", "world", ","}));
    // Each word takes its time, in order.
    const auto &spoken = line.chip->spokenWords();
    EXPECT_NEAR(spoken[2].start, spoken[1].start + spoken[1].seconds, 1e-9);
    EXPECT_DOUBLE_EQ(spoken[2].seconds, line.chip->speechSeconds(6)) << "a word with the blank before it";

    // CAN: nothing further is spoken and no marker comes.
    line.send(" a long text that takes a while" + C + "98i" + NUL + "\x18");
    EXPECT_TRUE(line.read(0.2).isEmpty());
    EXPECT_FALSE(line.chip->speaking());
}

TEST(Speech, TheSpeedSettingSetsThePace)
{
    SimLine line;
    const double atFive = line.chip->speechSeconds(10);
    line.send(C + "9s" + NUL);
    EXPECT_LT(line.chip->speechSeconds(10), atFive);
    line.send(C + "0s" + "word" + C + "98i" + NUL);
    line.read(0.2);
    ASSERT_EQ(line.chip->spokenWords().size(), 1);
    EXPECT_EQ(line.chip->spokenWords()[0].speed, 0);
    EXPECT_GT(line.chip->spokenWords()[0].seconds, line.chip->config().secondsPerChar * 4);
}

TEST(Speech, TranscriptionOfWords)
{
    const struct
    {
        QByteArray text, chip;
    } cases[] = {
        {"the cat", "ru KyT "},
        {"3-4 items", "3-4 mTqMS "},
        {"  Shell\r\nfish!  ", "dqL Fmd "},
        {"boot rain", "BaT RnN "},
        {"(#)", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(chipsim::phoneticTranscription(c.text), c.chip) << c.text.constData();
}

TEST(Speech, TranscriptionModeAnswersEachBlockAndEchoesCommandsUntilCan)
{
    SimLine line;
    line.chip->setSetting('g', 0x80); // emulation: tones in the byte form
    line.send("\r\x18" + C + "t" + NUL + C + "10?" + " the cat" + NUL);
    EXPECT_EQ(line.read(), QByteArray("ru KyT "));
    // A command keeps its text between 0xFD brackets; a tone its three bytes.
    line.send(" hi " + C + "5s" + " there " + C + "79j" + QByteArray("\x10\x00\x18", 3) + NUL);
    EXPECT_EQ(line.read(), QByteArray("Hm \xFD" "5s\xFD" "co \xFD" "79j\x10\x00\x18\xFD", 18));
    EXPECT_TRUE(line.chip->spokenWords().isEmpty()) << "nothing is spoken meanwhile";
    line.send(QByteArray("\x18") + " cat" + C + "98i" + NUL);
    EXPECT_EQ(line.read(0.2), QByteArray("b"));
    EXPECT_FALSE(line.chip->transcribing());
}

TEST(Speech, AudioOutAtTheFastSpeedUntilCan)
{
    SimLine line;
    line.send("\r\x18" + C + "t" + NUL + C + "11?" + NUL);
    EXPECT_EQ(line.chip->lineBaud(), 115200);
    EXPECT_TRUE(line.chip->byteLog().back().accepted) << "the NUL behind 11? comes at the old speed";
    line.setSpeed(QStringLiteral("115200"));
    line.send(" say" + NUL);
    const QByteArray audio = line.read(0.2);
    EXPECT_EQ(audio, line.chip->audioOut());
    const int rate = line.chip->sampleRate();
    EXPECT_EQ(audio.size(), qRound(line.chip->speechSeconds(4) * rate));
    EXPECT_EQ(audio, chipsim::speechSamples("say", 50, 5, int(audio.size())));

    // A louder, faster voice: other samples, fewer of them.
    line.send(C + "9v" + C + "9s" + " say" + NUL);
    const QByteArray fast = line.read(0.2);
    EXPECT_LT(fast.size(), audio.size());
    EXPECT_EQ(fast, chipsim::speechSamples("say", 50, 9, int(fast.size())));

    line.send("\x18");
    EXPECT_EQ(line.chip->lineBaud(), 9600);
    EXPECT_FALSE(line.chip->sendingAudio());
}
