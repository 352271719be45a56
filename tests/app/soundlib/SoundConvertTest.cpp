// The rules of single-file conversion: output names, captions, the options'
// numbers and the copy to the user's file.
#include "app/soundlib/SoundConvert.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

QString s(const char *t)
{
    return QString::fromUtf8(t);
}

// The error a call throws, as the user reads it; "" when it throws none.
template <typename F>
QString errorOf(F &&call)
{
    try {
        call();
    } catch (const vx::ComponentError &e) {
        return ConversionErrorText(e);
    }
    return {};
}

} // namespace

TEST(SoundConvertRules, OutputNamesAndCaptions)
{
    const struct
    {
        const char *source, *extension, *output, *title;
    } cases[] = {
        {"/m/song.MP3", ".pcm", "/m/song.pcm", "MP3"},
        {"/m/take.pcm", ".wav", "/m/take.wav", "Wave"},
        {"/m/my.sounds/noext", ".pcm", "/m/my.sounds/noext.pcm", "Wave"}, // a dot in a folder is no extension
        {"/m/a.b.Mp3", ".pcm", "/m/a.b.pcm", "MP3"},
        {"song", ".wav", "song.wav", "Wave"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(DefaultConvertOutput(s(c.source), s(c.extension)), s(c.output));
        EXPECT_EQ(ConvertingCaption(s(c.source)), s("Converting ") + s(c.title) + s(" File"));
        EXPECT_EQ(ConvertTitle(s(c.source)), s("Convert ") + s(c.title) + s(" File"));
    }
}

TEST(SoundConvertRules, OptionNumbersReadBlankAsZeroAndRefuseOverflow)
{
    const struct
    {
        const char *text;
        int bits;
        qint32 value; // -1: overflow
    } cases[] = {
        {"", 32, 0}, {"007", 32, 7}, {"2147483647", 32, 2147483647}, {"2147483648", 32, -1},
        {"99999999999999999999", 32, -1}, {"", 16, 0}, {"32767", 16, 32767}, {"32768", 16, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        if (c.value >= 0)
            EXPECT_EQ(ReadOptionNumber(s(c.text), c.bits), c.value);
        else
            EXPECT_EQ(errorOf([&] { (void)ReadOptionNumber(s(c.text), c.bits); }), s("Error 6: Overflow"));
    }
}

TEST(SoundConvertRules, CopyReplacesOnlyWithAWholeFile)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("convert-copy")) + QLatin1Char('/');
    writeFile(dir + s("new.pcm"), plainPcm(99, QByteArray(300, '\x41')));
    writeFile(dir + s("out.pcm"), QByteArray("old"));
    CopyConvertedFile(dir + s("new.pcm"), dir + s("out.pcm"));
    EXPECT_EQ(readFile(dir + s("out.pcm")), readFile(dir + s("new.pcm")));
    // The file and the system's cause, once.
    EXPECT_EQ(errorOf([&] { CopyConvertedFile(dir + s("gone.pcm"), dir + s("out.pcm")); }),
              s("Error 75: Cannot read '") + dir + s("gone.pcm': No such file or directory"));
    EXPECT_EQ(errorOf([&] { CopyConvertedFile(dir + s("new.pcm"), dir + s("no/dir/x.pcm")); }),
              s("Error 75: Cannot write '") + dir + s("no/dir/x.pcm': No such file or directory"));
    EXPECT_EQ(readFile(dir + s("out.pcm")), readFile(dir + s("new.pcm")));
}
