// The rules of single-file conversion: output names, captions, the options'
// numbers, the error text and the copy to the user's file.
#include "app/soundlib/SoundConvert.h"
#include "components/sonvert/cSonvert.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <QFileInfo>

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
        const char *source, *extension, *output, *caption, *title;
    } cases[] = {
        {"/m/song.MP3", ".pcm", "/m/song.pcm", "Converting MP3 File", "Convert MP3 File"},
        {"/m/take.wav", ".pcm", "/m/take.pcm", "Converting Wave File", "Convert Wave File"},
        {"/m/take.pcm", ".wav", "/m/take.wav", "Converting Wave File", "Convert Wave File"},
        {"/m/my.sounds/noext", ".pcm", "/m/my.sounds/noext.pcm", "Converting Wave File", "Convert Wave File"},
        {"/m/a.b.Mp3", ".pcm", "/m/a.b.pcm", "Converting MP3 File", "Convert MP3 File"},
        {"song", ".wav", "song.wav", "Converting Wave File", "Convert Wave File"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(DefaultConvertOutput(s(c.source), s(c.extension)), s(c.output));
        EXPECT_EQ(ConvertingCaption(s(c.source)), s(c.caption));
        EXPECT_EQ(ConvertTitle(s(c.source)), s(c.title));
    }
    EXPECT_EQ(ConvertingMessage(s("/m/a b.wav")), s("Converting /m/a b.wav."));
    EXPECT_EQ(ConvertedPcmMessage(s("a.pcm")), s("The PCM file 'a.pcm' was successfully created. "));
    EXPECT_EQ(ConvertedWaveMessage(s("a.wav")), s("The Wave file 'a.wav' was successfully created. "));
}

TEST(SoundConvertRules, OptionNumbersReadBlankAsZeroAndRefuseOverflow)
{
    const struct
    {
        const char *text;
        int bits;
        qint32 value; // -1: overflow
    } cases[] = {
        {"", 32, 0},          {"0", 32, 0},           {"007", 32, 7},  {"65535", 32, 65535},
        {"2147483647", 32, 2147483647}, {"2147483648", 32, -1}, {"99999999999999999999", 32, -1},
        {"", 16, 0},          {"9", 16, 9},           {"32767", 16, 32767}, {"32768", 16, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        if (c.value >= 0)
            EXPECT_EQ(ReadOptionNumber(s(c.text), c.bits), c.value);
        else
            EXPECT_EQ(errorOf([&] { (void)ReadOptionNumber(s(c.text), c.bits); }), s("Error 6: Overflow"));
    }
}

TEST(SoundConvertRules, ConverterErrorsCopyAndCancel)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("convert-rules")) + QLatin1Char('/');
    const QString temp = dir + QStringLiteral("temp/");
    QDir().mkpath(temp);
    cSonvert c;
    c.setTargetPath(QFile::encodeName(temp).toStdString());
    writeFile(dir + QStringLiteral("ok.wav"), wave(1, 11025, 8, 2000));
    writeFile(dir + QStringLiteral("bad.wav"), QByteArray("RIFF junk"));

    // The converter's codes as the user reads them.
    EXPECT_EQ(errorOf([&] { (void)SonvertToPcm(c, dir + QStringLiteral("gone.wav"), 0, 0, false, true, false); }),
              s("Error 1002: Source file not found."));
    EXPECT_EQ(errorOf([&] { (void)SonvertToPcm(c, dir + QStringLiteral("bad.wav"), 0, 0, false, true, false); }),
              s("Error 1003: Sound file format invalid or not supported."));
    EXPECT_EQ(errorOf([&] { (void)SonvertToPcm(c, dir + QStringLiteral("ok.wav"), 65535, 0, false, true, false); }),
              s("Error 1000: Tag value must be between 0 and 65534."));

    // Cancel from the first progress report is 1005, which is not shown.
    c.setPercentDone([](int, bool &cancel) { cancel = true; });
    try {
        (void)SonvertToPcm(c, dir + QStringLiteral("ok.wav"), 0, 0, false, true, false);
        ADD_FAILURE() << "no cancel";
    } catch (const vx::ComponentError &e) {
        EXPECT_TRUE(IsCancel(e));
    }
    c.setPercentDone({});

    // Round trip through the temporary folder; the copy replaces the old file.
    const QString pcm = SonvertToPcm(c, dir + QStringLiteral("ok.wav"), 7, 0, false, true, false);
    EXPECT_EQ(pcm, temp + QStringLiteral("ok.pcm"));
    const QByteArray marked = readFile(pcm);
    ASSERT_GE(marked.size(), 16);
    EXPECT_EQ(marked.mid(8, 2), bytes({0xC0, 0xDB}));
    EXPECT_EQ(marked.mid(14, 2), bytes({7, 0}));
    writeFile(dir + QStringLiteral("out.pcm"), QByteArray("old"));
    CopyConvertedFile(pcm, dir + QStringLiteral("out.pcm"));
    EXPECT_EQ(readFile(dir + QStringLiteral("out.pcm")), marked);
    const QString wav = SonvertToWav(c, dir + QStringLiteral("out.pcm"));
    EXPECT_EQ(wav, temp + QStringLiteral("out.wav"));
    EXPECT_TRUE(readFile(wav).startsWith("RIFF"));
    const QString packed = SonvertCompress(c, pcm, false);
    EXPECT_EQ(packed, pcm); // in place, in the older form
    EXPECT_EQ(static_cast<unsigned char>(readFile(packed).at(3)) & 0x80, 0x80);

    // A copy that cannot be made is a file-access error; the target stays whole.
    EXPECT_TRUE(errorOf([&] { CopyConvertedFile(dir + QStringLiteral("gone.pcm"), dir + QStringLiteral("out.pcm")); })
                    .startsWith(s("Error 75: Path/File access error")));
    EXPECT_TRUE(errorOf([&] { CopyConvertedFile(pcm, dir + QStringLiteral("no/such/dir/x.pcm")); })
                    .startsWith(s("Error 75: ")));
    EXPECT_EQ(readFile(dir + QStringLiteral("out.pcm")), marked);
}
