#include "app/documents/GridFile.h"

#include "tests/app/documents/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <QFile>

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
        SCOPED_TRACE(r);
        const Expect &e = rows[static_cast<size_t>(r - 1)];
        EXPECT_EQ(g.row(r).text, QString::fromLatin1(e.text));
        EXPECT_EQ(g.row(r).itemData, e.itemData);
        EXPECT_EQ(g.row(r).icon, e.icon);
        EXPECT_EQ(g.row(r).visible, e.visible);
    }
}

std::vector<QString> texts(const GridRows &g)
{
    std::vector<QString> out;
    for (const GridRow &r : g.all())
        out.push_back(r.text);
    return out;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(GridFile, GroupsLoadAndSaveByteForByte)
{
    const QByteArray bytes = "A\r\n;#h2\r\nB\r\nC\r\n;#H3\r\nD\r\nE\r\nF\r\nG\r\n";
    const GridRows g = ParseGridFile(bytes);
    expectRows(g, {{"A", 0, -1, true},
                   {"B", 2, 1, true},
                   {"C", -2, -1, true},
                   {"D", 3, 0, true},
                   {"E", -1, -1, false},
                   {"F", -2, -1, false},
                   {"G", 0, -1, true}});
    EXPECT_EQ(GridFileBytes(g), bytes);
    // The group shading and the collapsed header's line.
    EXPECT_EQ(g.row(3).backColor2, kGroupShade);
    EXPECT_EQ(g.row(4).backColor3, kGroupShade);
    EXPECT_EQ(g.row(7).backColor2, kDefaultColour);
    EXPECT_TRUE(GridFileBytes(GridRows{}).isEmpty());
}

TEST(GridFile, ContinuationLinesJoin)
{
    const GridRows g = ParseGridFile("abc _\r\ndef\r\nx _  \r\ny\nabc_\rq\r\na _\r\nb _\r\nc\r\n;#h2\r\nh _\r\nm\r\nend _\r\n");
    EXPECT_EQ(texts(g), (std::vector<QString>{"abcdef", "xy", "abc_", "q", "abc", "h _", "m", "end _"}));
    EXPECT_EQ(g.row(6).itemData, 2);
}

TEST(GridFile, OddMarkersNeverHangOrCrash)
{
    const struct
    {
        const char *bytes;
        std::vector<Expect> rows;
    } cases[] = {
        {"", {}},
        {";#H\r\nrow\r\nnext\r\n", {{"row", 0, 0, true}, {"next", 0, -1, true}}},
        {";#Hello\r\nrow\r\n", {{"row", 0, 0, true}}},
        {";#H1\r\nrow\r\nnext\r\n", {{"row", 1, 0, true}, {"next", 0, -1, true}}},
        {";#H9\r\nrow\r\nmember\r\n", {{"row", 2, 0, true}, {"member", -2, -1, false}}},
        {";#h99999999\r\nrow\r\n", {{"row", 1, 1, true}}},
        {"row\r\n;#H3", {{"row", 0, -1, true}}},
        {"row\r\n;#note\r\nnext\r\n", {{"row", 0, -1, true}, {"next", 0, 1, true}}},
        {";#H2\r\na\r\nb\r\n;#H2\r\nc\r\nd\r\n",
         {{"a", 2, 0, true}, {"b", -2, -1, false}, {"c", 2, 0, true}, {"d", -2, -1, false}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        expectRows(ParseGridFile(QByteArray(c.bytes)), c.rows);
    }
}

TEST(GridFile, DictionaryRowsThatFailTheCheckAreRed)
{
    std::vector<std::pair<QString, bool>> asked;
    const RuleCheck check = [&asked](const QString &rule, bool silent) {
        asked.emplace_back(rule, silent);
        return !rule.startsWith(QLatin1String("bad"));
    };
    const QByteArray bytes = "good\r\nbad rule\r\n;x\r\n";
    const GridRows dict = ParseGridFile(bytes, check);
    EXPECT_EQ(dict.row(1).foreColor, kDefaultColour);
    EXPECT_EQ(dict.row(2).foreColor, kBadRuleFore);
    EXPECT_EQ(dict.row(3).foreColor, kCommentFore);
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[1].second);
    EXPECT_EQ(ParseGridFile(bytes).row(2).foreColor, kDefaultColour);
}

TEST(GridFile, AFailedSaveKeepsTheOldFile)
{
    const QString path = QString::fromStdString(vxtest::freshDir("gridfile")) + QStringLiteral("/a.dic");
    GridRows g;
    g.row(g.AddRow()).text = QStringLiteral("old");
    ASSERT_TRUE(SaveGridFile(path, g));
    for (int i = 0; i < 20000; ++i)
        g.row(g.AddRow()).text = QStringLiteral("a line of a long dictionary");
    QString error;
    {
        const FileSizeLimit full(4096);
        EXPECT_FALSE(SaveGridFile(path, g, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old\r\n"));
    GridRows kept = g;
    EXPECT_FALSE(LoadGridFile(path + QStringLiteral(".missing"), kept, {}, &error));
    EXPECT_EQ(kept, g);
}

TEST(GridFile, ACellWithALineBreakSavesAsOneLine)
{
    GridRows g;
    g.row(g.AddRow()).text = QStringLiteral("a\r\nb\nc");
    EXPECT_EQ(GridFileBytes(g), QByteArray("a b c\r\n"));
}

// Random grids of ordinary rows and groups, collapsed or not, come back from
// their file with the same rows, marks and visibility.
TEST(GridFile, RandomGridsRoundTrip)
{
    std::mt19937 rng(20261209);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QString alphabet = QStringLiteral("abc XYZ=()<>#;_ \u00e9\u20ac");
    auto randomText = [&] {
        QString t;
        for (int n = pick(8); n > 0; --n)
            t += alphabet[pick(static_cast<int>(alphabet.size()))];
        // What the format cannot hold: a marker-like start, a continuation end.
        if (t.startsWith(QLatin1String(";#")))
            t.prepend(QLatin1Char('x'));
        if (t.trimmed().endsWith(QLatin1Char('_')))
            t += QLatin1Char('.');
        return t;
    };
    for (int round = 0; round < 300; ++round) {
        GridRows g;
        for (int blocks = pick(12); blocks > 0; --blocks) {
            const int r = g.AddRow();
            g.row(r).text = randomText();
            if (pick(3) != 0)
                continue;
            const bool collapsed = pick(2) == 0;
            const int members = pick(4);
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
        SCOPED_TRACE(QString::fromLatin1(GridFileBytes(g)).toStdString());
        const GridRows back = ParseGridFile(GridFileBytes(g));
        ASSERT_EQ(back, g);
    }
}
