// The compiled sound library: golden bytes of both flavours, and the compile
// driver's ends (success, missing file, cancel, refusals) with no output left
// behind when it does not succeed.
#include "app/soundlib/SoundLibCompiler.h"
#include "components/common/ComponentError.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <random>

using namespace soundtest;

namespace {

const QByteArray kData = bytes({1, 2, 3});
const QByteArray kPlain = plainPcm(0x63, kData);
const QByteArray kMarked = markedPcm(0x63, 7, bytes({1, 2, 3, 0x80}));

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray kHeadNewer = hex("0D0D181E01 32323377") + QByteArray(4 + 16, '\0') + hex("ECDBFFFF");
const QByteArray kHeadOlder = hex("0D0D181E01 31303077") + QByteArray(4 + 16, '\0') + hex("ECDB0100");

QByteArray withLength(QByteArray file, int n)
{
    file[9] = static_cast<char>(n);
    return file;
}

// A row for a file in the test folder.
SoundEntry row(const QString &folder, const QString &name, qint16 kind, qint32 tag)
{
    SoundEntry e;
    e.Location = folder;
    e.FileName = name;
    e.Kind = kind;
    e.Tag = tag;
    return e;
}

// Hands out prepared files (or errors) in place of the converter.
class FakeConversion : public SoundConversion
{
public:
    QString out;
    int error = 0;
    int conversions = 0;
    void setPercentDone(PercentDone h) override { handler = std::move(h); }
    QString ConvertSoundToPcm(const QString &, qint32, qint16, bool, bool, bool) override
    {
        ++conversions;
        if (handler) {
            bool cancel = false;
            handler(50, cancel);
            if (cancel)
                throw vx::ComponentError(1005, "SonvertLib.ConvertToPcm", "Process terminated by user.");
        }
        if (error)
            throw vx::ComponentError(error, "SonvertLib.ConvertToPcm", "Sound file format invalid or not supported.");
        return out;
    }
    QString CompressPcm(const QString &source, bool) override { return source; }
    PercentDone handler;
};

TEST(SfxBytes, GoldenExamples)
{
    // One plain chip PCM sound, tag 300, in the newer and the older flavour.
    QByteArray a = BuildSfxHeader(false, 1) + BuildSfxEntry(kPlain, false, 300).value();
    FinalizeSoundLibraryFile(a);
    EXPECT_EQ(a, withLength(kHeadNewer, 14) + hex("030000632C01010203 00 6C04"));

    QByteArray b = BuildSfxHeader(true, 1) + BuildSfxEntry(kPlain, true, 300).value();
    FinalizeSoundLibraryFile(b);
    EXPECT_EQ(b, withLength(kHeadOlder, 12) + hex("03000063010203 00 4002"));

    // A marked file: the row's tag replaces the file's, the end mark stays, no pad.
    QByteArray c = BuildSfxHeader(false, 1) + BuildSfxEntry(kMarked, false, 300).value();
    FinalizeSoundLibraryFile(c);
    EXPECT_EQ(c, withLength(kHeadNewer, 14) + hex("040000632C0101020380 ED04"));

    QByteArray d = BuildSfxHeader(false, 0);
    FinalizeSoundLibraryFile(d);
    EXPECT_EQ(d, withLength(kHeadNewer, 4) + hex("C903"));
}

TEST(SfxBytes, DefaultNameAndEntryEdges)
{
    EXPECT_EQ(DefaultSfxPath(QStringLiteral("Untitled1")), QStringLiteral("Untitled1.sfx"));
    EXPECT_EQ(DefaultSfxPath(QStringLiteral("/home/a.b/Lib.sfl")), QStringLiteral("/home/a.b/Lib.sfx"));
    EXPECT_EQ(DefaultSfxPath(QStringLiteral("/home/a.b/Lib")), QStringLiteral("/home/a.b/Lib.sfx"));
    EXPECT_EQ(BuildSfxEntry(kPlain, false, 65535).value().mid(4, 2), hex("FFFF"));
    // A chip PCM file of under ten bytes is plain, whatever follows it.
    EXPECT_EQ(BuildSfxEntry(bytes({0, 0, 0, 0x63}), false, 1).value(), hex("000000630100"));
    // The check sum wraps at 16 bits.
    QByteArray big = BuildSfxHeader(false, 1) + BuildSfxEntry(plainPcm(0x63, QByteArray(1000, '\xFF')), false, 0).value();
    FinalizeSoundLibraryFile(big);
    quint32 sum = 0;
    for (qsizetype i = 9; i < big.size() - 2; ++i)
        sum += static_cast<unsigned char>(big[i]);
    EXPECT_EQ(static_cast<unsigned char>(big[big.size() - 2]), sum & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(big[big.size() - 1]), (sum >> 8) & 0xFF);
}

class CompileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeConversion fake;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString output() const { return folder() + QStringLiteral("Lib.sfx"); }
    QString put(const QString &name, const QByteArray &content)
    {
        writeFile(folder() + name, content);
        return name;
    }
    CompileResult compile(const QList<SoundEntry> &rows, bool older, const CompileProgressFn &progress = {})
    {
        return CompileSoundLibraryFile({rows, output(), older, '\x01'}, fake, progress);
    }
    // The files in the folder, the converter's stand-in output aside.
    std::string filesLeft() const
    {
        if (!fake.out.isEmpty())
            QFile::remove(fake.out);
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).join(QLatin1Char(',')).toStdString();
    }
    static std::string names(const QStringList &list) { return list.join(QLatin1Char(',')).toStdString(); }
};

TEST_F(CompileTest, ChipPcmRowsGiveTheGoldenBytes)
{
    const QString plain = put(QStringLiteral("a.pcm"), kPlain);
    const QString marked = put(QStringLiteral("b.pcm"), kMarked);

    ASSERT_EQ(compile({row(folder(), plain, sfkPcm, 300)}, false).outcome, CompileOutcome::Succeeded);
    EXPECT_EQ(readFile(output()), withLength(kHeadNewer, 14) + hex("030000632C01010203 00 6C04"));
    const CompileResult c = compile({row(folder(), marked, sfkPcm, 300)}, false);
    ASSERT_EQ(c.outcome, CompileOutcome::Succeeded);
    EXPECT_EQ(readFile(output()), withLength(kHeadNewer, 14) + hex("040000632C0101020380 ED04"));
    EXPECT_EQ(c.fileSize, 45);
    EXPECT_EQ(filesLeft(), names({QStringLiteral("Lib.sfx"), plain, marked}));
}

TEST_F(CompileTest, ConvertedRowsAndTheirTemporaryFiles)
{
    const QString source = put(QStringLiteral("voice.wav"), wave(1, 11025, 8, 100));
    fake.out = folder() + put(QStringLiteral("tmp.pcm"), kPlain);
    QList<int> percents;
    const CompileResult r = compile({row(folder(), source, sfkWave, 5)}, false, [&](const CompileProgress &p, bool &) {
        if (p.stage == CompileStage::Converting)
            percents << p.filePercent;
    });
    ASSERT_EQ(r.outcome, CompileOutcome::Succeeded);
    EXPECT_EQ(readFile(output()).mid(33, 9), hex("030000630500010203"));
    EXPECT_TRUE(percents.contains(50));
    EXPECT_FALSE(QFile::exists(fake.out)); // the converter's output is removed
    EXPECT_FALSE(fake.handler);            // and the run's handler is not left behind
}

TEST_F(CompileTest, FailuresLeaveNoOutputOldOrNew)
{
    const QString plain = put(QStringLiteral("a.pcm"), kPlain);
    const QString marked = put(QStringLiteral("Old Sound.pcm"), kMarked);
    const QString source = put(QStringLiteral("voice.wav"), wave(1, 11025, 8, 100));
    const struct
    {
        QList<SoundEntry> rows;
        bool older;
        int converterError;
        CompileOutcome outcome;
        int row;
        QString message;
    } cases[] = {
        {{row(folder(), plain, sfkPcm, 1), row(folder(), QStringLiteral("gone.wav"), sfkWave, 2)}, false, 0,
         CompileOutcome::MissingFile, 2, QStringLiteral("Cannot open 'gone.wav' (file was probably moved or deleted)")},
        {{row(folder(), plain, sfkPcm, 1), row(folder(), marked, sfkPcm, 2)}, true, 0, CompileOutcome::Unsupported, 2,
         QStringLiteral("'Old Sound.pcm' is an SV3420 ADPCM-encoded sound file,\r\nwhich is not compatible with the "
                        "SV3410. Remove this file from the  \r\nlibrary, or select SV3420-only compatibility in Preferences.")},
        {{row(folder(), plain, sfkPcm, 70000)}, false, 0, CompileOutcome::Failed, 1, QStringLiteral("Error 6: Overflow (a.pcm)")},
        {{row(folder(), plain, sfkNotSound, 0)}, false, 0, CompileOutcome::Failed, 1,
         QStringLiteral("Error 1003: Sound file format invalid or not supported. (a.pcm)")},
        {{row(folder(), source, sfkPcm, 0)}, false, 0, CompileOutcome::Failed, 1,
         QStringLiteral("Error 1003: Invalid or corrupt pcm file. (voice.wav)")},
        {{row(folder(), source, sfkWave, 0)}, false, 1003, CompileOutcome::Failed, 1,
         QStringLiteral("Error 1003: Sound file format invalid or not supported. (voice.wav)")},
        {{row(folder(), source, sfkWave, 0)}, false, 1005, CompileOutcome::Cancelled, 1, QString()},
        // A sound that cannot be read: the run ends, nothing is left half written.
        {{row(folder(), plain, sfkPcm, 1), row(folder(), QStringLiteral("unreadable.pcm"), sfkPcm, 2)}, false, 0,
         CompileOutcome::Failed, 2, QStringLiteral("Error 75: Path/File access error (unreadable.pcm)")},
    };
    QDir(dir.path()).mkdir(QStringLiteral("unreadable.pcm"));
    for (const auto &c : cases) {
        put(QStringLiteral("Lib.sfx"), "an older library");
        fake.error = c.converterError;
        fake.out = folder() + put(QStringLiteral("tmp.pcm"), kPlain);
        const CompileResult r = compile(c.rows, c.older);
        EXPECT_EQ(r.outcome, c.outcome) << c.message.toStdString();
        EXPECT_EQ(r.row, c.row);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(filesLeft(), names({marked, plain, source})) << c.message.toStdString();
    }

    // The output may not replace one of the library's own sounds.
    const CompileResult own = CompileSoundLibraryFile({{row(folder(), plain, sfkPcm, 0)}, folder() + plain, false, 1}, fake, {});
    EXPECT_EQ(own.outcome, CompileOutcome::Failed);
    EXPECT_EQ(readFile(folder() + plain), kPlain);
}

// A full disk while a sound goes in names the library and the cause, with the
// row's sound in brackets as for any failure of the row.
TEST_F(CompileTest, FullDiskNamesTheLibraryAndTheCause)
{
    const QString big = put(QStringLiteral("big.pcm"), plainPcm(0x63, QByteArray(20000, '\x11')));
    put(QStringLiteral("Lib.sfx"), "an older library");
    const std::string said = vxtest::inChildWithFileLimit(
        1000, [&] { return compile({row(folder(), big, sfkPcm, 1)}, false).message.toStdString(); });
    EXPECT_EQ(said, "Error 75: Cannot write '" + output().toStdString() + "': File too large (big.pcm)");
    EXPECT_EQ(filesLeft(), names({big}));
}

TEST_F(CompileTest, CancelDuringVerificationOrConversion)
{
    const QString plain = put(QStringLiteral("a.pcm"), kPlain);
    const QString source = put(QStringLiteral("voice.wav"), wave(1, 11025, 8, 100));
    const QList<SoundEntry> rows = {row(folder(), plain, sfkPcm, 1), row(folder(), source, sfkWave, 2)};
    for (const CompileStage stage : {CompileStage::Verifying, CompileStage::Converting}) {
        put(QStringLiteral("Lib.sfx"), "an older library");
        fake.out = folder() + put(QStringLiteral("tmp.pcm"), kPlain);
        const CompileResult r = compile(rows, false, [&](const CompileProgress &p, bool &cancel) {
            cancel = cancel || (p.stage == stage && p.row == 2);
        });
        EXPECT_EQ(r.outcome, CompileOutcome::Cancelled);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(filesLeft(), names({plain, source}));
    }
}

TEST_F(CompileTest, RandomLibrariesAreWellFormed)
{
    std::mt19937 rng(7);
    for (int run = 0; run < 20; ++run) {
        const bool older = run % 2 == 1;
        QList<SoundEntry> rows;
        const int count = 1 + static_cast<int>(rng() % 50);
        for (int i = 0; i < count; ++i) {
            QByteArray data(static_cast<qsizetype>(rng() % 300), '\0');
            for (char &c : data)
                c = static_cast<char>(rng());
            const bool marked = !older && rng() % 2;
            rows << row(folder(), put(QStringLiteral("s%1.pcm").arg(i), marked ? markedPcm(0x63, 1, data) : plainPcm(0x63, data)),
                        sfkPcm, static_cast<qint32>(rng() % 65535));
        }
        ASSERT_EQ(compile(rows, older).outcome, CompileOutcome::Succeeded);
        const QByteArray f = readFile(output());
        const auto u = [&](qsizetype at) { return static_cast<quint32>(static_cast<unsigned char>(f[at])); };
        const quint32 n = u(9) | u(10) << 8 | u(11) << 16 | u(12) << 24;
        EXPECT_EQ(n % 2, 0u);
        EXPECT_EQ(n, static_cast<quint32>(f.size() - 31));
        quint32 sum = 0;
        for (qsizetype i = 9; i < f.size() - 2; ++i)
            sum += u(i);
        EXPECT_EQ(sum & 0xFFFF, u(f.size() - 2) | u(f.size() - 1) << 8);
        qsizetype at = 33;
        for (int i = 0; i < count; ++i)
            at += (older ? 4 : 6) + static_cast<qsizetype>(u(at) | u(at + 1) << 8 | u(at + 2) << 16);
        EXPECT_EQ(29 + static_cast<qsizetype>(n) - at, (at - 29) % 2);
    }
}

TEST_F(CompileTest, RealConverterBuildsAWellFormedLibrary)
{
    QTemporaryDir temp;
    const auto sonvert = MakeSonvertConversion(temp.path());
    QList<SoundEntry> rows;
    for (int i = 0; i < 3; ++i) {
        rows << row(folder(), put(QStringLiteral("w%1.wav").arg(i), wave(1 + i % 2, 22050, 16, 4000 + 2 * i)), sfkWave, i + 1);
        rows.last().Compress = i == 1;
    }
    rows << row(folder(), put(QStringLiteral("p.pcm"), kPlain), sfkPcm, 9);
    // Listed as plain with Comp ticked, compressed since: it goes in as it is.
    rows << row(folder(), put(QStringLiteral("c.pcm"), plainPcm(0x80 | 0x63, hex("123456"))), sfkPcm, 10);
    rows.last().Compress = true;
    const CompileResult r = CompileSoundLibraryFile({rows, output(), false, '\x01'}, *sonvert, {});
    ASSERT_EQ(r.outcome, CompileOutcome::Succeeded) << r.message.toStdString();
    const QByteArray f = readFile(output());
    ASSERT_EQ(f.size(), r.fileSize);
    const auto u = [&](qsizetype at) { return static_cast<quint32>(static_cast<unsigned char>(f[at])); };
    const quint32 n = u(9) | u(10) << 8 | u(11) << 16 | u(12) << 24;
    EXPECT_EQ(n % 2, 0u);
    EXPECT_EQ(n, static_cast<quint32>(f.size() - 31));
    // Walk the entries: each one's length field covers it exactly, tags in row order.
    qsizetype at = 33;
    for (int i = 0; i < rows.size(); ++i) {
        ASSERT_LT(at + 6, f.size());
        EXPECT_EQ(static_cast<int>(u(at + 4) | u(at + 5) << 8), rows[i].Tag);
        at += 6 + static_cast<qsizetype>(u(at) | u(at + 1) << 8 | u(at + 2) << 16);
    }
    EXPECT_LE(f.size() - 2 - at, 1);
    EXPECT_EQ(f.mid(at - 9, 9), hex("030000E30A00123456"));
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}

} // namespace
