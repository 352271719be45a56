#include "app/shell/CommandInsertion.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

namespace {

// Answers the prompt from a list; records the names and limits asked.
struct Answers
{
    QStringList replies;
    QStringList asked;
    vx::GetParmFn fn()
    {
        return [this](const QString &name, int largest) {
            asked.append(name + QLatin1Char(':') + QString::number(largest));
            return replies.isEmpty() ? QString() : replies.takeFirst();
        };
    }
};

} // namespace

TEST(CommandInsertion, ValuesOutsideTheRangeOrNotWholeAreAskedAgain)
{
    vx::ScriptedPrompter prompts;
    const struct
    {
        int code;
        QStringList replies;
        std::optional<QString> inserted;
        int refusals;
    } cases[] = {
        {5, {"13"}, QStringLiteral("\\0113s"), 0},
        {5, {"14", "abc", "-1", "2.5", " 3", "007"}, QStringLiteral("\\017s"), 5},
        {200, {"65535", "65534"}, QStringLiteral("\\0165534&"), 1},
        {103, {"9"}, QStringLiteral("\\019v"), 0},
        {300, {"\\01120,100,0j"}, QStringLiteral("\\01120,100,0j"), 0}, // the tone prompt's whole command
        {3, {""}, std::nullopt, 0},
        {3, {"100", ""}, std::nullopt, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        prompts.clear();
        for (int i = 0; i < c.refusals; ++i)
            prompts.queue(vx::Answer::Ok);
        Answers a{c.replies, {}};
        EXPECT_EQ(vx::AskParamCommand(c.code, a.fn()), c.inserted);
        ASSERT_EQ(prompts.prompts().size(), c.refusals);
        for (const vx::Prompt &p : prompts.prompts()) {
            EXPECT_EQ(p.text, QStringLiteral("Input value exceeds parameter range  "));
            EXPECT_EQ(p.icon, vx::Icon::Exclamation);
        }
    }
    Answers speed{{"1"}, {}};
    (void)vx::AskParamCommand(5, speed.fn());
    EXPECT_EQ(speed.asked, QStringList{QStringLiteral("Speed:13")});
    EXPECT_EQ(vx::VoiceCommandText(10), QStringLiteral("\\0110o"));
    EXPECT_EQ(vx::PhonemeModifierText(0), QStringLiteral("\\5C"));
    EXPECT_EQ(vx::PhonemeModifierText(5), QStringLiteral(">"));
}
