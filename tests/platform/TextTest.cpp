#include "platform/Cp1252.h"
#include "platform/FileNames.h"
#include "platform/Numbers.h"
#include "platform/ProgramInfo.h"
#include "platform/TextFiles.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace vx;

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toCp1252(text), all);
}

TEST(Cp1252, KnownCharactersMapToTheirBytesAndOthersToQuestionMarks)
{
    EXPECT_EQ(toCp1252(u"\u00e9"), QByteArray("\xE9"));
    EXPECT_EQ(toCp1252(u"\u20ac"), QByteArray("\x80"));
    EXPECT_EQ(toCp1252(u"\u0178"), QByteArray("\x9F"));
    EXPECT_EQ(toCp1252(u"\u4e2d"), QByteArray("?"));
    EXPECT_EQ(fromCp1252(QByteArray("\x80\x81\x9F")), QStringView(u"\u20ac\u0081\u0178").toString());
}

// What a save would write as "?": each such character once, in order.
TEST(Cp1252, CharactersOutsideTheCodePageAreFoundOnceEach)
{
    const struct
    {
        const char16_t *text;
        QList<char32_t> lost;
    } rows[] = {
        {u"plain ASCII? and caf\u00e9 \u20ac\u0178 \u0081", {}},
        {u"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 \u4e2d\u6587 ok",
         {0x17C, 0x142, 0x107, 0x119, 0x15B, 0x105, 0x4E2D, 0x6587}},
        {u"\u4e2d\u4e2d\u4e2d x \u4e2d", {0x4E2D}},
        {u"\U0001F600 and \U0001F600", {0x1F600}}, // one character, not two halves
        {u"lone \xD800 half", {0xD800}},
        {u"e\u0301 \u200b", {0x301, 0x200B}},
        {u"\u0080", {0x80}}, // the euro's byte read as a character of its own
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(QString::fromUtf16(row.text).toStdString());
        EXPECT_EQ(charactersOutsideCp1252(QStringView(row.text)), row.lost);
    }
}

TEST(Rounding, HalvesGoToEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.51), 3);
    EXPECT_EQ(twipsToPixels(15), 1);
    EXPECT_EQ(twipsToPixels(22), 1);  // 1.47
    EXPECT_EQ(twipsToPixels(-20000), -1333);
    EXPECT_EQ(pixelsToTwips(880), 13200);
}

TEST(TextFiles, LineBreaksNormaliseAndCrLfOffsetsMapBothWays)
{
    EXPECT_EQ(normalizeLineBreaks(u"a\r\nb\rc\nd\u2028e\u2029f"), QStringLiteral("a\nb\nc\nd\ne\nf"));
    EXPECT_EQ(toCrLf(u"a\nb\r\n"), QStringLiteral("a\r\nb\r\n"));

    const CrLfView v(u"ab\ncd\n\ne");
    EXPECT_EQ(v.text(), QStringLiteral("ab\r\ncd\r\n\r\ne"));
    EXPECT_EQ(v.toCrLfOffset(0), 0);
    EXPECT_EQ(v.toCrLfOffset(2), 2); // the break itself starts at its CR
    EXPECT_EQ(v.toCrLfOffset(3), 4);
    EXPECT_EQ(v.toCrLfOffset(8), 11);
    for (qsizetype e = 0; e <= 8; ++e)
        EXPECT_EQ(v.toEditorOffset(v.toCrLfOffset(e)), e) << e;
    EXPECT_EQ(v.toEditorOffset(3), 2); // between CR and LF
}

TEST(TextFiles, WritesCrLfWindows1252AndReadsItBack)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("text"));
    const QString path = dir + QStringLiteral("/t.txt");
    ASSERT_TRUE(writeTextFile(path, u"caf\u00e9\nline 2"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("caf\xE9\r\nline 2"));
    QString back;
    ASSERT_TRUE(readTextFile(path, back));
    EXPECT_EQ(back, QStringView(u"caf\u00e9\nline 2").toString());

    QString err;
    EXPECT_FALSE(readTextFile(dir + QStringLiteral("/missing.txt"), back, &err));
    EXPECT_FALSE(err.isEmpty());
    EXPECT_FALSE(writeTextFile(dir + QStringLiteral("/no/such/folder/x.txt"), u"x", &err));
}

// A small save the disk refuses (the case a buffered writer loses at the
// flush) reports the system's reason and leaves the old file whole.
TEST(TextFiles, RefusedSaveKeepsTheOldFile)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("text-full"));
    const QString path = dir + QStringLiteral("/t.txt");
    ASSERT_TRUE(writeTextFile(path, u"old"));
    const std::string result = vxtest::inChildWithFileLimit(100, [&] {
        QString err;
        return writeTextFile(path, QString(2000, QLatin1Char('n')), &err) ? std::string("reported success")
                                                                          : err.toStdString();
    });
    EXPECT_EQ(result, "File too large");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("t.txt")});
}

// A user's file is read only when it is a regular one: a pipe or a device is
// refused at once with its cause, never waited on or read without end (in a
// child: a wait fails the test rather than hanging it).
TEST(TextFiles, OnlyRegularFilesAreRead)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("text-kinds"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.txt")).constData(), 0600), 0);
    const std::string said = vxtest::inChild([] { ::alarm(10); }, [&] {
        std::string out;
        for (const QString &path : {dir + QStringLiteral("/pipe.txt"), QStringLiteral("/dev/zero"), dir}) {
            QByteArray bytes;
            QString why;
            out += (readFileBytes(path, bytes, &why) ? QStringLiteral("read") : why).toStdString() + "; ";
        }
        return out;
    });
    EXPECT_EQ(said, "Not a regular file; Not a regular file; Is a directory; ");
}

// A name that is not valid UTF-8 keeps its bytes from the command line to the
// file and back, and the text a file dialog shows for it finds the file.
TEST(FileNames, NamesThatAreNotUtf8KeepTheirBytes)
{
    const QByteArray dir = QFile::encodeName(QString::fromStdString(vxtest::freshDir("names")));
    const QByteArray raw = dir + "/bad\xff" "name\xc3.txt";
    std::ofstream(raw.constData()) << "old";
    const char *argv[] = {"program", raw.constData()};
    const QString path = fileArguments(2, argv).value(0);
    EXPECT_EQ(fileNameBytes(path), raw);
    QByteArray bytes;
    ASSERT_TRUE(readFileBytes(path, bytes));
    EXPECT_EQ(bytes, QByteArray("old"));
    ASSERT_TRUE(writeTextFile(path, u"new"));
    std::ifstream in(raw.constData());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.constData()), {}), 1);
    EXPECT_EQ(fileNameBytes(chosenFileName(QFile::decodeName(raw))), raw);

    // Every name comes back as its bytes; valid ones read as Qt reads them.
    for (const QByteArray &name : {QByteArray("plain"), QByteArray("caf\xc3\xa9"), QByteArray("\xf0\x9f\x8e\xb5"),
                                   QByteArray("\xed\xa0\x80"), QByteArray("\xc0\xaf"), QByteArray("a\xe2\x82"),
                                   QByteArray("\xf4\x90\x80\x80"), QByteArray("\x80\xbf")}) {
        EXPECT_EQ(fileNameBytes(fileNameFromBytes(name)), name) << name.toHex().constData();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(name);
        if (!utf8.hasError()) {
            EXPECT_EQ(fileNameFromBytes(name), decoded);
        }
    }
}

// What the command line names: "--" ends the options, "-" alone is a name,
// and anything else that begins with "-" before it is refused.
TEST(FileNames, OptionsEndAtADoubleDashAndALoneDashIsAName)
{
    const auto list = [](std::initializer_list<const char *> items) {
        QStringList l;
        for (const char *i : items)
            l << QLatin1String(i);
        return l;
    };
    const struct
    {
        QStringList arguments;
        std::optional<QStringList> names;
    } rows[] = {
        {list({"a.txt", "b c.dix"}), list({"a.txt", "b c.dix"})},
        {list({"-"}), list({"-"})},
        {list({"--", "-v", "--", "a"}), list({"-v", "--", "a"})},
        {list({"-v"}), std::nullopt},
        {list({"--foo"}), std::nullopt},
        {list({"a.txt", "-x", "--"}), std::nullopt},
        {{}, QStringList()},
    };
    for (const auto &r : rows)
        EXPECT_EQ(fileOperands(r.arguments), r.names) << r.arguments.join(QLatin1Char(' ')).toStdString();
}
