#include "app/documents/GridFile.h"
#include "app/documents/GridRows.h"
#include "tests/app/documents/GridTesting.h"

#include <gtest/gtest.h>

namespace {

using gridtest::itemData;

// The visible rows as '1' and the hidden as '0'.
std::string visible(const GridRows &g)
{
    std::string out;
    for (const GridRow &r : g.all())
        out += r.visible ? '1' : '0';
    return out;
}

} // namespace

TEST(GridRows, CollapsingMakesOneReachableGroup)
{
    const struct
    {
        const char *file;
        std::vector<int> selected;
        std::vector<int> itemData;
        const char *visible;
    } cases[] = {
        // Rows 5 to 8 inside the group of row 3; row 9 was its last member.
        {"1\r\n2\r\n;#h7\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n", {5, 6, 7, 8},
         {0, 0, 2, -1, 4, -1, -1, -2, 0, 0}, "1111100011"},
        // An expanded header alone closes its own group.
        {"a\r\n;#h3\r\nb\r\nc\r\nd\r\ne\r\n", {2}, {0, 3, -1, -2, 0}, "11001"},
        // A collapsed header and the row after its members.
        {"a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\n", {2, 5}, {0, 4, -1, -1, -2}, "11000"},
        // A selected header brings its group, and the run goes on after it.
        {"a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\n", {1, 2, 5}, {5, -1, -1, -1, -2}, "10000"},
        // Scattered rows: only the run from the first folds, nothing is stranded.
        {"1\r\n2\r\n3\r\n4\r\n5\r\n", {5, 1}, {1, 0, 0, 0, 0}, "11111"},
        {"a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\n", {2, 6}, {0, 3, -1, -2, 0}, "11001"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        GridRows g = ParseGridFile(QByteArray(c.file));
        ASSERT_TRUE(CollapseGridRows(g, c.selected));
        EXPECT_EQ(itemData(g), c.itemData);
        EXPECT_EQ(visible(g), c.visible);
        EXPECT_EQ(g.row(*std::min_element(c.selected.begin(), c.selected.end())).icon, kIconCollapsed);
    }
    GridRows g;
    EXPECT_FALSE(CollapseGridRows(g, {}));
}

TEST(GridRows, ExpandingShowsTheGroupAndTheFileFollows)
{
    GridRows g = ParseGridFile("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    ASSERT_TRUE(CollapseGridRows(g, {5, 6, 7, 8}));
    EXPECT_TRUE(GridFileBytes(g).contains("4\r\n;#H4\r\n5\r\n"));
    EXPECT_EQ(ExpandGridGroup(g, 5), 4);
    EXPECT_EQ(std::tuple(g.row(5).icon, g.row(5).itemData, g.row(8).itemData), std::tuple(kIconExpanded, 4, -2));
    EXPECT_EQ(visible(g), "1111111111");
    EXPECT_TRUE(GridFileBytes(g).contains("4\r\n;#h4\r\n5\r\n"));
    ASSERT_TRUE(CollapseGridRows(g, {1}));
    EXPECT_EQ(ExpandGridGroup(g, 1), 0); // a header of one row has nothing to show
    EXPECT_EQ(ExpandGridGroup(g, 0), 0);
}

TEST(GridRows, InsertedRowsJoinOrFollowGroups)
{
    const QByteArray file = "a\r\n;#H3\r\nb\r\nc\r\nd\r\n;#h3\r\ne\r\nf\r\ng\r\nz\r\n";
    const struct
    {
        int selected, newRow, newItemData, headerRow, headerCount;
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
        EXPECT_EQ(std::tuple(g.row(c.newRow).text, g.row(c.newRow).itemData, g.row(c.headerRow).itemData),
                  std::tuple(QString(), c.newItemData, c.headerCount));
    }
    GridRows g;
    EXPECT_EQ(InsertGridRow(g, 0), 1);
    g = ParseGridFile(";#H1\r\nh\r\n"); // a closed header of one row keeps the new row out
    EXPECT_EQ(InsertGridRow(g, 1), 2);
    EXPECT_EQ(itemData(g), (std::vector<int>{1, 0}));
}

TEST(GridRows, CommentsColoursAndEditRules)
{
    GridRows g;
    for (const char *t : {"  ;;x", "rule", ";bad", "plain"})
        g.row(g.AddRow()).text = QString::fromLatin1(t);
    FormatGridRow(g);
    const RuleCheck check = [](const QString &rule, bool silent) { return !silent && rule != QLatin1String("bad"); };
    EXPECT_TRUE(UncommentGridRows(g, {1, 2, 3}, check));
    EXPECT_EQ(std::tuple(g.row(1).text, g.row(1).foreColor), std::tuple(QStringLiteral(";x"), kCommentFore));
    EXPECT_EQ(std::tuple(g.row(3).text, g.row(3).foreColor), std::tuple(QStringLiteral("bad"), kBadRuleFore));
    EXPECT_EQ(g.row(2).text, QStringLiteral("rule"));
    CommentGridRows(g, {1, 4});
    EXPECT_EQ(std::tuple(g.row(1).text, g.row(4).text, g.row(4).foreColor),
              std::tuple(QStringLiteral(";;x"), QStringLiteral(";plain"), kCommentFore));
    EXPECT_TRUE(UncommentGridRows(g, {4}, {}));
    EXPECT_EQ(g.row(4).foreColor, kDefaultColour);
    EXPECT_FALSE(UncommentGridRows(g, {2}, check));

    GridRow row{QStringLiteral("x")};
    RecolourGridRow(row, [](const QString &, bool) { return false; }, false);
    EXPECT_EQ(row.foreColor, kBadRuleFore);

    for (int key : {6, 9, 13, 27})
        EXPECT_TRUE(RefusesGridEdit(3, key)) << key;
    EXPECT_FALSE(RefusesGridEdit(3, 'x'));
    EXPECT_TRUE(RefusesGridEdit(1, 0));
    EXPECT_EQ(SingleLineCellText(QStringLiteral("a\r\nb\rc\nd\u2029e")), QStringLiteral("a b c d e"));
}
