// Find over grid and list lines and over a text: whole word, case and the
// wrap to the beginning.
#include "app/documents/FindRules.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(FindRules, LineMatches)
{
    struct Case
    {
        const char *line;
        const char *text;
        bool whole, matchCase, found;
    };
    const Case cases[] = {
        {"concat cat", "cat", true, false, false}, // only the first occurrence counts
        {"a1", "a", true, false, true},            // digits are boundaries
        {"x_cat", "cat", true, false, true},
        {"cats", "cat", true, false, false},
        {"abc", "ABC", false, false, true},
        {"abc", "ABC", false, true, false},
        {"Straße x", "X", true, false, true}, // upper-casing keeps positions
    };
    for (const Case &c : cases)
        EXPECT_EQ(LineMatches(QString::fromUtf8(c.line), QString::fromUtf8(c.text), {c.whole, c.matchCase}), c.found)
            << c.line << " / " << c.text;
    EXPECT_EQ(FindOptionsValue({true, true}), 6);
}

TEST(FindRules, ForwardWithOneWrap)
{
    const QStringList lines{"cat", "dog", "cat", "bird"};
    EXPECT_EQ(FindNextLine(lines, 1, QStringLiteral("cat"), {})->at, 3);
    const auto wrapped = FindNextLine(lines, 3, QStringLiteral("cat"), {});
    EXPECT_TRUE(wrapped && wrapped->wrapped && wrapped->at == 1);
    EXPECT_FALSE(FindNextLine(lines, 0, QStringLiteral("cow"), {}));

    // The only match, already selected, is found again after the wrap.
    const QString text = QStringLiteral("one Two three");
    const auto again = FindNextInText(text, 4, 3, QStringLiteral("two"), {});
    EXPECT_TRUE(again && again->wrapped && again->at == 4);
    EXPECT_FALSE(FindNextInText(text, 0, 0, QStringLiteral("two"), {false, true}));
    EXPECT_EQ(FindNextInText(QStringLiteral("tone two"), 0, 0, QStringLiteral("two"), {true, false})->at, 5);

    EXPECT_EQ(GroupHeaderRow(3, [](qsizetype) { return 0; }), 0);
    EXPECT_EQ(GroupHeaderRow(3, [](qsizetype r) { return r == 2 ? 4 : 0; }), 2);
}

TEST(FindRules, HistoryAndMessage)
{
    QStringList history;
    AddFindHistory(history, QStringLiteral("Abc"));
    AddFindHistory(history, QStringLiteral("abc"));
    AddFindHistory(history, QStringLiteral("new"));
    EXPECT_EQ(history, (QStringList{"new", "Abc"}));
    EXPECT_EQ(NotFoundMessage(QStringLiteral("cat")), QStringLiteral("\"cat\" not found. "));
}

} // namespace
