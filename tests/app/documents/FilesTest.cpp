// Text and grid files: bytes, line ends, groups, odd input and failed saves.
#include "app/documents/GridFile.h"
#include "app/documents/TextFile.h"

#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Expect
{
    const char *text;
    int itemData;
    int icon;
    bool visible;
};

void expectRows(const GridRows &g, const std::vector<Expect> &rows)
{
    ASSERT_EQ(g.Rows(), static_cast<int>(rows.size()));
    for (int r = 1; r <= g.Rows(); ++r) {
        const Expect &e = rows[static_cast<size_t>(r - 1)];
        const GridRow &row = g.row(r);
        EXPECT_EQ(row.text, QString::fromLatin1(e.text)) << r;
        EXPECT_EQ(std::tuple(row.itemData, row.icon, row.visible), std::tuple(e.itemData, e.icon, e.visible)) << r;
    }
}

QString dir()
{
    return QString::fromStdString(vxtest::freshDir("files"));
}

using vxtest::readAll;
using vxtest::writeAll;

// The one row text a grid file cannot hold: it reads back as a group marker.
bool looksLikeMarker(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("^;#[Hh][0-9]+ *$"));
    return marker.match(text).hasMatch();
}

// The lines a compile sees: every row's text, a line ending in " _" joined
// with the next as the dictionary compiler joins it.
QStringList compiledLines(const GridRows &g)
{
    QStringList out;
    QString line;
    bool joining = false;
    for (const GridRow &row : g.all()) {
        line = joining ? line + row.text : row.text;
        QString trimmed = line;
        while (trimmed.endsWith(QLatin1Char(' ')))
            trimmed.chop(1);
        joining = trimmed.endsWith(QLatin1String(" _"));
        if (joining)
            line = trimmed.chopped(2);
        else
            out << line;
    }
    if (joining)
        out << line;
    return out;
}

// A random grid of up to maxBlocks blocks: a row of text, some heading a
// group of fewer than maxMembers further rows, collapsed or not, marked and
// formatted as the editor leaves them.
template <class Pick, class Text>
GridRows randomGrid(Pick &pick, Text &randomText, int maxBlocks, int maxMembers)
{
    GridRows g;
    for (int blocks = pick(maxBlocks); blocks > 0; --blocks) {
        const int r = g.AddRow();
        g.row(r).text = randomText();
        if (pick(3) != 0)
            continue;
        const bool collapsed = pick(2) == 0;
        const int members = pick(maxMembers);
        g.row(r).itemData = members + 1;
        g.row(r).icon = collapsed ? kIconCollapsed : kIconExpanded;
        for (int m = 1; m <= members; ++m) {
            GridRow &row = g.row(g.AddRow());
            row.text = randomText();
            row.itemData = m == members ? kLastGroupMember : kGroupMember;
            row.visible = !collapsed;
        }
    }
    FormatGridRow(g);
    return g;
}

} // namespace

TEST(TextFile, EveryByteComesBackAndLineEndsBecomeCrLf)
{
    QByteArray all; // every byte value; CR and LF as the pair a file holds
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    all += "\r\nend";
    const QString path = dir() + QStringLiteral("/t.txt");
    writeAll(path, all);
    QString text;
    ASSERT_TRUE(LoadTextFile(path, text));
    ASSERT_TRUE(SaveTextFile(path, text));
    EXPECT_EQ(readAll(path), all);

    writeAll(path, "one\ntwo\rthree\r\nfour");
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text, QStringLiteral("one\ntwo\nthree\nfour"));
    ASSERT_TRUE(SaveTextFile(path, text));
    EXPECT_EQ(readAll(path), QByteArray("one\r\ntwo\r\nthree\r\nfour"));

    writeAll(path, QByteArray(kTextMaxLength + 10, 'a'));
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text.size(), kTextMaxLength);

    // Of a huge file only what the window can hold is read: at most every
    // character a CR LF pair.
    writeAll(path, QByteArray("\r\n").repeated(kTextMaxLength) + "tail");
    ASSERT_TRUE(QFile::resize(path, qint64(64) << 20));
    const qint64 before = vxtest::bytesReadByProcess();
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_LE(vxtest::bytesReadByProcess() - before, 2 * kTextMaxLength + 2 + 4096);
    EXPECT_EQ(text, QString(kTextMaxLength, QLatin1Char('\n')));
}

TEST(Files, AFailedSaveKeepsTheOldFileAndSaysWhy)
{
    const QString text = dir() + QStringLiteral("/keep.txt");
    const QString grid = dir() + QStringLiteral("/keep.dic");
    writeAll(text, "old\r\n");
    writeAll(grid, "old\r\n");
    GridRows g;
    for (int i = 0; i < 20000; ++i)
        g.row(g.AddRow()).text = QStringLiteral("a line of a long dictionary");
    QString textError, gridError;
    vxtest::onFullDisk(4096, [&] {
        EXPECT_FALSE(SaveTextFile(text, QString(100000, QLatin1Char('x')), &textError));
        EXPECT_FALSE(SaveGridFile(grid, g, &gridError));
    });
    EXPECT_FALSE(textError.isEmpty());
    EXPECT_FALSE(gridError.isEmpty());
    EXPECT_EQ(readAll(text), QByteArray("old\r\n"));
    EXPECT_EQ(readAll(grid), QByteArray("old\r\n"));

    // A failed load changes nothing either.
    QString kept = QStringLiteral("kept");
    GridRows keptRows = g;
    EXPECT_FALSE(LoadTextFile(text + QStringLiteral("x"), kept, &textError));
    EXPECT_FALSE(LoadGridFile(grid + QStringLiteral("x"), keptRows, {}, &gridError));
    EXPECT_EQ(kept, QStringLiteral("kept"));
    EXPECT_EQ(keptRows, g);
}

TEST(GridFile, GroupsLoadAndSaveByteForByte)
{
    const QByteArray bytes = "A\r\n;#h2\r\nB\r\nC\r\n;#H3\r\nD\r\nE\r\nF\r\nG\r\n";
    GridRows g = ParseGridFile(bytes);
    expectRows(g, {{"A", 0, -1, true},
                   {"B", 2, 1, true},
                   {"C", -2, -1, true},
                   {"D", 3, 0, true},
                   {"E", -1, -1, false},
                   {"F", -2, -1, false},
                   {"G", 0, -1, true}});
    EXPECT_EQ(GridFileBytes(g), bytes);
    EXPECT_EQ(std::tuple(g.row(3).backColor2, g.row(4).backColor3, g.row(7).backColor2),
              std::tuple(kGroupShade, kGroupShade, kDefaultColour));
    EXPECT_TRUE(GridFileBytes(GridRows{}).isEmpty());
    // A cell holding line breaks still saves as one line.
    g.row(1).text = QStringLiteral("a\r\nb\nc");
    EXPECT_TRUE(GridFileBytes(g).startsWith("a b c\r\n;#h2"));
}

TEST(GridFile, ContinuationsMarkersAndOddInput)
{
    const struct
    {
        const char *bytes;
        std::vector<Expect> rows;
    } cases[] = {
        {"abc _\r\ndef\r\nx _  \r\ny\nabc_\rq\r\na _\r\nb _\r\nc\r\nend _\r\n",
         {{"abcdef", 0, -1, true}, {"xy", 0, -1, true}, {"abc_", 0, -1, true}, {"q", 0, -1, true},
          {"abc", 0, -1, true}, {"end _", 0, -1, true}}},
        {";#h2\r\nh _\r\nm\r\n", {{"h _", 2, 1, true}, {"m", -2, -1, true}}},
        {"", {}},
        {";#H\r\nrow\r\nnext\r\n", {{";#H", 0, -1, true}, {"row", 0, -1, true}, {"next", 0, -1, true}}},
        {";#Hello\r\nrow\r\n", {{";#Hello", 0, -1, true}, {"row", 0, -1, true}}},
        {";#H0\r\nrow\r\n", {{"row", 0, -1, true}}},
        {";#H1\r\nrow\r\nnext\r\n", {{"row", 1, 0, true}, {"next", 0, -1, true}}},
        {";#H9\r\nrow\r\nmember\r\n", {{"row", 2, 0, true}, {"member", -2, -1, false}}},
        {";#h99999999\r\nrow\r\n", {{"row", 1, 1, true}}},
        {"row\r\n;#H3", {{"row", 0, -1, true}}},
        {"row\r\n;#note\r\nnext\r\n", {{"row", 0, -1, true}, {";#note", 0, -1, true}, {"next", 0, -1, true}}},
        {";# my comment\r\n;#H2 \r\nh\r\nm\r\n", {{";# my comment", 0, -1, true}, {"h", 2, 0, true}, {"m", -2, -1, false}}},
        {"a _\r\n;#h2\r\nb\r\nc\r\n", {{"a _", 0, -1, true}, {"b", 2, 1, true}, {"c", -2, -1, true}}},
        // Overlapping markers: what is no header shows no picture and hides nothing.
        {";#h3\r\nA\r\nB\r\n;#H2\r\nC\r\nD\r\nE\r\n",
         {{"A", 3, 1, true}, {"B", -1, -1, true}, {"C", -2, -1, true}, {"D", 0, -1, true}, {"E", 0, -1, true}}},
        {";#H3\r\nA\r\n;#h2\r\nB\r\nC\r\nD\r\n",
         {{"A", 3, 0, true}, {"B", -1, -1, false}, {"C", -2, -1, false}, {"D", 0, -1, true}}},
        {";#H2\r\na\r\nb\r\n;#H2\r\nc\r\nd\r\n",
         {{"a", 2, 0, true}, {"b", -2, -1, false}, {"c", 2, 0, true}, {"d", -2, -1, false}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        expectRows(ParseGridFile(QByteArray(c.bytes)), c.rows);
    }
}

TEST(GridFile, AFileLargerThanItsCompilerTakesIsRefusedUnread)
{
    EXPECT_EQ(MaxGridFileBytes(true), qint64(8) << 20);
    EXPECT_EQ(MaxGridFileBytes(false), qint64(16) << 20);
    const QString path = dir() + QStringLiteral("/huge.dic");
    writeAll(path, "(a)=b\r\n");
    const RuleCheck check = [](const QString &, bool) { return true; };
    const GridRows kept = ParseGridFile("kept\r\n");
    for (const bool dictionary : {true, false}) {
        ASSERT_TRUE(QFile::resize(path, MaxGridFileBytes(dictionary) + 1));
        GridRows g = kept;
        QString error;
        const qint64 before = vxtest::bytesReadByProcess();
        EXPECT_FALSE(LoadGridFile(path, g, dictionary ? check : RuleCheck{}, &error));
        EXPECT_LT(vxtest::bytesReadByProcess() - before, 65536);
        EXPECT_TRUE(error.startsWith(QStringLiteral("The file is larger than a "))) << error.toStdString();
        EXPECT_EQ(g, kept);
    }
    ASSERT_TRUE(QFile::resize(path, MaxGridFileBytes(true)));
    GridRows g;
    EXPECT_TRUE(LoadGridFile(path, g, check));
}

TEST(GridFile, DictionaryRowsThatFailTheSilentCheckAreRed)
{
    std::vector<bool> silent;
    const RuleCheck check = [&silent](const QString &rule, bool s) {
        silent.push_back(s);
        return !rule.startsWith(QLatin1String("bad"));
    };
    const QByteArray bytes = "good\r\nbad rule\r\n;x\r\n";
    const GridRows dict = ParseGridFile(bytes, check);
    EXPECT_EQ(std::tuple(dict.row(1).foreColor, dict.row(2).foreColor, dict.row(3).foreColor),
              std::tuple(kDefaultColour, kBadRuleFore, kCommentFore));
    EXPECT_EQ(silent, std::vector<bool>(3, true));
    EXPECT_EQ(ParseGridFile(bytes).row(2).foreColor, kDefaultColour);
}

// Random grids of ordinary rows and groups, collapsed or not, come back from
// their file with the same rows, marks and visibility.
TEST(GridFile, RandomGridsRoundTrip)
{
    std::mt19937 rng(20261209);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QString alphabet = QStringLiteral("abc XYZ=()<>#;_ \u00e9\u20acHh1");
    auto randomText = [&] {
        QString t;
        if (pick(4) == 0)
            t = QStringLiteral(";#");
        for (int n = pick(8); n > 0; --n)
            t += alphabet[pick(static_cast<int>(alphabet.size()))];
        // What the format cannot hold: a row that reads as a marker, a continuation end.
        if (looksLikeMarker(t))
            t.prepend(QLatin1Char('x'));
        if (t.trimmed().endsWith(QLatin1Char('_')))
            t += QLatin1Char('.');
        return t;
    };
    for (int round = 0; round < 300; ++round) {
        const GridRows g = randomGrid(pick, randomText, 12, 4);
        SCOPED_TRACE(QString::fromLatin1(GridFileBytes(g)).toStdString());
        ASSERT_EQ(ParseGridFile(GridFileBytes(g)), g);
    }
}

// Any rows, with groups, comments beginning ";#" and continued lines, reach a
// compile the same after a save and a reload.
TEST(GridFile, SaveAndReloadKeepWhatACompileSees)
{
    std::mt19937 rng(20260114);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList pieces = {QStringLiteral(";#"), QStringLiteral("H"), QStringLiteral("h"), QStringLiteral("2"),
                                QStringLiteral(" _"), QStringLiteral("_"), QStringLiteral(" "), QStringLiteral("a"),
                                QStringLiteral("(b)=c"), QStringLiteral(";")};
    auto randomText = [&] {
        QString t;
        for (int n = pick(5); n > 0; --n)
            t += pieces[pick(static_cast<int>(pieces.size()))];
        return looksLikeMarker(t) ? t + QStringLiteral("x") : t;
    };
    for (int round = 0; round < 500; ++round) {
        const GridRows g = randomGrid(pick, randomText, 10, 3);
        const QByteArray bytes = GridFileBytes(g);
        SCOPED_TRACE(QString::fromLatin1(bytes).toStdString());
        ASSERT_EQ(compiledLines(ParseGridFile(bytes)), compiledLines(g));
    }
}
