#include "app/documents/GridClipboard.h"
#include "app/documents/GridFile.h"
#include "tests/app/documents/GridTesting.h"

#include <gtest/gtest.h>

namespace {

using gridtest::itemData;

QStringList texts(const GridRows &g)
{
    QStringList out;
    for (const GridRow &r : g.all())
        out.append(r.text);
    return out;
}

// Rows a, b (collapsed header of b, c, d), e.
const char kCollapsed[] = "a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\n";
// The same group open.
const char kOpen[] = "a\r\n;#h3\r\nb\r\nc\r\nd\r\ne\r\n";

} // namespace

TEST(GridClipboard, CopyTakesCollapsedGroupsWholeAndOnce)
{
    const struct
    {
        const char *file;
        std::vector<int> selected;
        QStringList copied;
    } cases[] = {
        {kCollapsed, {2}, {"b", "c", "d"}},
        {kCollapsed, {2, 3, 4}, {"b", "c", "d"}}, // hidden members selected too: not twice
        {kCollapsed, {1, 5}, {"a", "e"}},
        {kOpen, {2}, {"b"}}, // an open header is one row
        {kOpen, {2, 4}, {"b", "d"}},
    };
    for (const auto &c : cases) {
        const GridRows g = ParseGridFile(QByteArray(c.file));
        EXPECT_EQ(CopyGridRows(g, c.selected), c.copied);
    }
}

TEST(GridClipboard, DeleteKeepsGroupCountsAndPicksTheNextRow)
{
    const struct
    {
        const char *file;
        std::vector<int> selected;
        QStringList left;
        std::vector<int> itemData;
        int select;
    } cases[] = {
        {kCollapsed, {2}, {"a", "e"}, {0, 0}, 2},
        {kOpen, {4}, {"a", "b", "c", "e"}, {0, 2, -2, 0}, 4},   // last member: the one above ends the group
        {kOpen, {2}, {"a", "c", "d", "e"}, {0, 0, 0, 0}, 2},    // an open header leaves plain rows
        {kOpen, {3, 4}, {"a", "b", "e"}, {0, 0, 0}, 3},         // a header left alone is plain again
        {"1\r\n2\r\n3\r\n4\r\n5\r\n", {4, 5}, {"1", "2", "3"}, {0, 0, 0}, 3},
        {"1\r\n2\r\n", {1, 2}, {}, {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        GridRows g = ParseGridFile(QByteArray(c.file));
        EXPECT_EQ(DeleteGridRows(g, c.selected), c.select);
        EXPECT_EQ(texts(g), c.left);
        EXPECT_EQ(itemData(g), c.itemData);
    }
}

TEST(GridClipboard, PasteJoinsTheGroupItLandsInAndMarksBadRules)
{
    const RuleCheck check = [](const QString &rule, bool) { return !rule.startsWith(QLatin1Char('!')); };
    const struct
    {
        const char *file;
        int selected;
        QStringList left;
        std::vector<int> itemData;
        int first;
    } cases[] = {
        {kOpen, 2, {"a", "b", "x", "!y", "c", "d", "e"}, {0, 5, -1, -1, -1, -2, 0}, 3},
        {kCollapsed, 2, {"a", "b", "c", "d", "x", "!y", "e"}, {0, 3, -1, -2, 0, 0, 0}, 5},
        {kOpen, 0, {"x", "!y", "a", "b", "c", "d", "e"}, {0, 0, 0, 3, -1, -2, 0}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected);
        GridRows g = ParseGridFile(QByteArray(c.file));
        EXPECT_EQ(PasteGridRows(g, c.selected, {"x", "!y"}, check), c.first);
        EXPECT_EQ(texts(g), c.left);
        EXPECT_EQ(itemData(g), c.itemData);
        EXPECT_EQ(g.row(c.first + 1).foreColor, kBadRuleFore);
        EXPECT_EQ(g.row(c.first).foreColor, kDefaultColour);
    }
}
