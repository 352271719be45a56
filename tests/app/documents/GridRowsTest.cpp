#include "app/documents/GridFile.h"
#include "app/documents/GridRows.h"

#include <gtest/gtest.h>

namespace {

GridRows numbered(int n)
{
    GridRows g;
    for (int r = 1; r <= n; ++r)
        g.row(g.AddRow()).text = QString::number(r);
    return g;
}

std::vector<int> itemData(const GridRows &g)
{
    std::vector<int> out;
    for (const GridRow &r : g.all())
        out.push_back(r.itemData);
    return out;
}

std::vector<bool> visible(const GridRows &g)
{
    std::vector<bool> out;
    for (const GridRow &r : g.all())
        out.push_back(r.visible);
    return out;
}

} // namespace

TEST(GridRows, CollapsingRowsMakesOneGroupAndExpandingShowsIt)
{
    // Rows 4 to 9 are members of the group under row 3.
    GridRows g = ParseGridFile("1\r\n2\r\n;#h7\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    ASSERT_TRUE(CollapseGridRows(g, {5, 6, 7, 8}));
    EXPECT_EQ(itemData(g), (std::vector<int>{0, 0, 2, -1, 4, -1, -1, -2, 0, 0}));
    EXPECT_EQ(visible(g), (std::vector<bool>{true, true, true, true, true, false, false, false, true, true}));
    EXPECT_EQ(g.row(5).icon, kIconCollapsed);
    EXPECT_EQ(g.row(8).icon, kNoIcon);
    EXPECT_TRUE(GridFileBytes(g).contains("\r\n;#H4\r\n5\r\n"));

    EXPECT_EQ(ExpandGridGroup(g, 5), 4);
    EXPECT_EQ(g.row(5).icon, kIconExpanded);
    EXPECT_EQ(g.row(5).itemData, 4);
    EXPECT_EQ(visible(g), std::vector<bool>(10, true));
    EXPECT_TRUE(GridFileBytes(g).contains("\r\n;#h4\r\n5\r\n"));
    // A header of one row has nothing to show.
    ASSERT_TRUE(CollapseGridRows(g, {1}));
    EXPECT_EQ(g.row(1).itemData, 1);
    EXPECT_EQ(ExpandGridGroup(g, 1), 0);
    EXPECT_EQ(ExpandGridGroup(g, 0), 0);
}

TEST(GridRows, CollapsingAnExpandedHeaderAloneClosesItsGroup)
{
    GridRows g = ParseGridFile("a\r\n;#h3\r\nb\r\nc\r\nd\r\ne\r\n");
    ASSERT_TRUE(CollapseGridRows(g, {2}));
    EXPECT_EQ(itemData(g), (std::vector<int>{0, 3, -1, -2, 0}));
    EXPECT_EQ(visible(g), (std::vector<bool>{true, true, false, false, true}));
    // A collapsed header and the row after its hidden members.
    ASSERT_TRUE(CollapseGridRows(g, {2, 5}));
    EXPECT_EQ(itemData(g), (std::vector<int>{0, 4, -1, -1, -2}));
    EXPECT_EQ(visible(g), (std::vector<bool>{true, true, false, false, false}));
}

TEST(GridRows, AScatteredSelectionNeverStrandsHiddenRows)
{
    // Rows 1 and 5 picked one by one: only the run from row 1 folds.
    GridRows g = numbered(6);
    ASSERT_TRUE(CollapseGridRows(g, {5, 1}));
    EXPECT_EQ(itemData(g), (std::vector<int>{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(visible(g), std::vector<bool>(6, true));
    // A header picked with a later row keeps its hidden members in the group.
    g = ParseGridFile("a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\nf\r\n");
    ASSERT_TRUE(CollapseGridRows(g, {2, 6}));
    EXPECT_EQ(itemData(g), (std::vector<int>{0, 3, -1, -2, 0, 0}));
    EXPECT_EQ(visible(g), (std::vector<bool>{true, true, false, false, true, true}));
    // A selected header brings its group along and the selection goes on after it.
    g = ParseGridFile("a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\nf\r\n");
    ASSERT_TRUE(CollapseGridRows(g, {1, 2, 5}));
    EXPECT_EQ(itemData(g), (std::vector<int>{5, -1, -1, -1, -2, 0}));
    EXPECT_FALSE(CollapseGridRows(g, {}));
}

TEST(GridRows, InsertedRowsJoinOrFollowGroups)
{
    const QByteArray file = "a\r\n;#H3\r\nb\r\nc\r\nd\r\n;#h3\r\ne\r\nf\r\ng\r\nz\r\n";
    const struct
    {
        int selected;
        int newRow;
        int newItemData;
        int headerRow;
        int headerCount;
    } cases[] = {
        {0, 1, 0, 3, 3},  // nothing selected: the top
        {2, 5, 0, 2, 3},  // collapsed header: after its hidden members, outside
        {5, 6, -1, 5, 4}, // expanded header: joins its group
        {6, 7, -1, 5, 4}, // middle member: joins
        {7, 8, 0, 5, 3},  // last member: after the group
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected);
        GridRows g = ParseGridFile(file);
        EXPECT_EQ(InsertGridRow(g, c.selected), c.newRow);
        EXPECT_TRUE(g.row(c.newRow).text.isEmpty());
        EXPECT_EQ(g.row(c.newRow).itemData, c.newItemData);
        EXPECT_EQ(g.row(c.headerRow).itemData, c.headerCount);
        EXPECT_EQ(g.Rows(), 9);
    }
    GridRows empty;
    EXPECT_EQ(InsertGridRow(empty, 0), 1);
    EXPECT_EQ(empty.Rows(), 1);
    // A collapsed header of one row keeps the new row outside.
    GridRows one = ParseGridFile(";#H1\r\nh\r\n");
    EXPECT_EQ(InsertGridRow(one, 1), 2);
    EXPECT_EQ(itemData(one), (std::vector<int>{1, 0}));
}

TEST(GridRows, CommentsComeAndGo)
{
    GridRows g;
    for (const char *t : {"  ;;x", "rule", ";bad", "plain"})
        g.row(g.AddRow()).text = QString::fromLatin1(t);
    FormatGridRow(g);
    const RuleCheck check = [](const QString &rule, bool silent) { return !silent && rule != QLatin1String("bad"); };
    EXPECT_TRUE(UncommentGridRows(g, {1, 2, 3}, check));
    EXPECT_EQ(g.row(1).text, QStringLiteral(";x"));
    EXPECT_EQ(g.row(1).foreColor, kCommentFore);
    EXPECT_EQ(g.row(2).text, QStringLiteral("rule"));
    EXPECT_EQ(g.row(3).text, QStringLiteral("bad"));
    EXPECT_EQ(g.row(3).foreColor, kBadRuleFore);
    CommentGridRows(g, {1, 4});
    EXPECT_EQ(g.row(1).text, QStringLiteral(";;x"));
    EXPECT_EQ(g.row(4).text, QStringLiteral(";plain"));
    EXPECT_EQ(g.row(4).foreColor, kCommentFore);
    EXPECT_TRUE(UncommentGridRows(g, {4}, {}));
    EXPECT_EQ(g.row(4).foreColor, kDefaultColour);
    EXPECT_FALSE(UncommentGridRows(g, {2}, check));
}

TEST(GridRows, EditRulesAndCellText)
{
    for (int key : {6, 9, 13, 27})
        EXPECT_TRUE(RefusesGridEdit(3, key)) << key;
    EXPECT_FALSE(RefusesGridEdit(3, 0));
    EXPECT_FALSE(RefusesGridEdit(3, 'x'));
    EXPECT_TRUE(RefusesGridEdit(1, 0));
    EXPECT_EQ(SingleLineCellText(QStringLiteral("a\r\nb\rc\nd\u2029e")), QStringLiteral("a b c d e"));

    GridRow row{QStringLiteral("  ;note")};
    RecolourGridRow(row, {}, false);
    EXPECT_EQ(row.foreColor, kCommentFore);
    row.text = QStringLiteral("x");
    RecolourGridRow(row, [](const QString &, bool) { return false; }, false);
    EXPECT_EQ(row.foreColor, kBadRuleFore);
}

TEST(GridRows, WordsTrimToLetters)
{
    const struct
    {
        const char *word;
        const char *result;
        const char *wordAfter;
    } cases[] = {
        {"Hello,", "hello", "hello"}, {"(don't)", "don't", "don't"}, {"~5s", "~5s", "~5s"},
        {"12", "", "1"},              {"", "", ""},                  {"--a--", "a", "a"},
    };
    for (const auto &c : cases) {
        QString word = QString::fromLatin1(c.word);
        EXPECT_EQ(TrimWordToLetters(word, QStringLiteral("~")), QLatin1String(c.result)) << c.word;
        EXPECT_EQ(word, QLatin1String(c.wordAfter)) << c.word;
    }
    QString word = QStringLiteral("~5s");
    EXPECT_EQ(TrimWordToLetters(word, QString()), QStringLiteral("s"));
}
