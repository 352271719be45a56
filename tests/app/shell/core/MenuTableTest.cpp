#include "app/shell/MenuTable.h"

#include "app/HelpTopics.h"
#include "components/cantorel/cCantorel.h"
#include "components/common/ComponentError.h"
#include "components/lexmold/cLexmold.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"
#include "tolvane/TolvanePrefs.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

using namespace vx;

TEST(MenuTable, CaptionsShortcutsAndTopicsAsGiven)
{
    struct Expect
    {
        const char *name;
        const char *caption;
        const char *shortcut;
        int topic;
    };
    const Expect expected[] = {
        {"mnuFileNewText", "&Text Box", "Ctrl+N", 219},
        {"mnuFileNewMusic", "&Music Score", nullptr, 0},
        {"mnuFilePlay", "P&lay...", nullptr, 219},
        {"mnuFileDnld", "&Download...", "Ctrl+D", 219},
        {"mnuFilePrintSetup", "Print Set&up...", nullptr, 219},
        {"mnuEditDelete", "&Delete", "Del", 220},
        {"mnuEditFindNext", "Find &Next", "F3", 220},
        {"mnuEditPreferences", "P&references...", nullptr, 258},
        {"mnuViewHide", "&Hide/Show Selection", "Ctrl+H", 296},
        {"mnuViewResetDialogs", "Reset Notifications", nullptr, 0},
        {"mnuUtils", "&Utilities", nullptr, 469},
        {"mnuUtilsWordList", "Generate &Word List...", nullptr, 420},
        {"mnuUtilsRepairRecMem", "Repair &Rec Memory...", nullptr, 400},
        {"mnuHelpAbout", "&About Voxmere", nullptr, 181},
    };
    for (const Expect &e : expected) {
        const MenuRow *r = FindMenuRow(e.name);
        ASSERT_NE(r, nullptr) << e.name;
        EXPECT_STREQ(r->caption, e.caption) << e.name;
        EXPECT_STREQ(r->shortcut ? r->shortcut : "", e.shortcut ? e.shortcut : "") << e.name;
        EXPECT_EQ(r->helpTopic, e.topic) << e.name;
    }
    EXPECT_TRUE(FindMenuRow("mnuViewPhonetics")->checkable);
    EXPECT_NE(FindMenuRow("mnuRecentFile", 8), nullptr);
    EXPECT_EQ(FindMenuRow("mnuRecentFile", 9), nullptr);
}

TEST(MenuTable, NamesUniqueAndParentsComeFirst)
{
    std::set<std::string> seen;
    std::set<std::string> menus;
    for (const MenuRow &r : MenuRows()) {
        const std::string key = std::string(r.name) + "#" + std::to_string(r.index);
        EXPECT_TRUE(seen.insert(key).second) << key;
        if (r.parent) {
            EXPECT_TRUE(menus.count(r.parent)) << r.name;
        }
        if (r.kind == MenuRowKind::Menu)
            menus.insert(r.name);
    }
}

TEST(MenuTable, ToolbarKeysInOrderWithGaps)
{
    std::string keys;
    for (const ToolbarButton &b : ToolbarButtons())
        keys += std::string(b.key ? b.key : "|") + " ";
    EXPECT_EQ(keys, "New Open Save Print Download Compile | Cut Copy Paste Delete Find Edit Add | Play Record | "
                    "Cpanels Phonetics | Help ");
    const ToolbarButton &newButton = ToolbarButtons()[0];
    ASSERT_EQ(newButton.menu.size(), 4u);
    EXPECT_STREQ(newButton.menu[3].text, "New Music Score");
    EXPECT_EQ(NewKindOfKey("NewMusic"), 3);
    EXPECT_STREQ(NewButtonToolTip(3), "New music score");
    EXPECT_STREQ(ToolbarButtons()[1].menu[7].key, "RecentFile8");
}

// Every topic either program opens, by a menu item or from a window, has its
// section in the help file that ships beside it.
TEST(HelpFile, EveryTopicTheProgramOpensHasItsSection)
{
    EXPECT_TRUE(vxtest::hasHelpTopic(vxtest::shippedHelpFile("Tolvane"), tolv::kHelpTopic));
    const QByteArray html = vxtest::shippedHelpFile("Voxmere");
    std::set<int> topics(std::begin(help::kTopics), std::end(help::kTopics));
    for (const MenuRow &r : MenuRows()) {
        if (r.helpTopic != 0)
            topics.insert(r.helpTopic);
    }
    for (int topic : topics)
        EXPECT_TRUE(vxtest::hasHelpTopic(html, topic)) << topic;
}

// Every example line of the help page compiles: each rule on its own, the
// score lines in their order as one score (a replay needs its part).
TEST(HelpFile, EveryExampleCompiles)
{
    const QString html = QString::fromUtf8(vxtest::shippedHelpFile("Voxmere"));
    const auto examples = [&html](const char *kind) {
        std::vector<std::string> found;
        const QRegularExpression code(QStringLiteral("<code class=\"%1\">([^<]*)</code>").arg(QLatin1String(kind)));
        for (const QRegularExpressionMatch &m : code.globalMatch(html)) {
            QString text = m.captured(1);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
            text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
            found.push_back(text.replace(QStringLiteral("&amp;"), QStringLiteral("&")).toStdString());
        }
        return found;
    };
    const std::vector<std::string> rules = examples("rule"), score = examples("score");
    ASSERT_FALSE(rules.empty() || score.empty());

    cLexmold lexmold;
    for (std::string rule : rules)
        EXPECT_TRUE(lexmold.CompileRule(rule, true)) << rule;

    const std::string folder = vxtest::freshDir("help-examples");
    std::ofstream(folder + "/examples.tgn", std::ios::binary) << [&score] {
        std::string text;
        for (const std::string &line : score)
            text += line + "\r\n";
        return text;
    }();
    cCantorel cantorel;
    int line = 0;
    try {
        cantorel.CompileFile(folder + "/examples.tgn", folder + "/examples.tgx", line);
    } catch (const vx::ComponentError &e) {
        ADD_FAILURE() << e.description();
    }
}
