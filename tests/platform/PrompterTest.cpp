#include "platform/Prompter.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(Prompter, AScriptedAnswerDrivesAQuestionAndThePromptIsRecorded)
{
    ScriptedPrompter script;
    script.queue(Answer::No);
    const Answer a = MsgBox(QStringLiteral("Save changes to 'Untitled 1'?"), Buttons::YesNo, Icon::Question,
                            QStringLiteral("Voxmere"), 2);
    EXPECT_EQ(a, Answer::No);
    ASSERT_EQ(script.prompts().size(), 1);
    const Prompt &p = script.last();
    EXPECT_EQ(p.kind, PromptKind::Message);
    EXPECT_EQ(p.text, QStringLiteral("Save changes to 'Untitled 1'?"));
    EXPECT_EQ(p.title, QStringLiteral("Voxmere"));
    EXPECT_EQ(p.buttons, Buttons::YesNo);
    EXPECT_EQ(p.icon, Icon::Question);
    EXPECT_EQ(p.defaultButton, 2);
    EXPECT_EQ(script.pending(), 0);
}

TEST(Prompter, AMessageWithoutTitleCarriesTheProgramTitle)
{
    ScriptedPrompter script;
    script.queue(Answer::Ok);
    MsgBox(QStringLiteral("Done"));
    EXPECT_EQ(script.last().title, programTitle());
}

TEST(Prompter, InputAndFileDialogsAnswerFromTheQueue)
{
    ScriptedPrompter script;
    script.queueInput(QStringLiteral("12345"));
    script.queueInput(std::nullopt);
    script.queueFiles({QStringLiteral("/tmp/a.dic")}, 2);
    script.queueCancel();

    EXPECT_EQ(InputBox(QStringLiteral("Tag:")).value_or(QString()), QStringLiteral("12345"));
    EXPECT_FALSE(InputBox(QStringLiteral("Tag:")).has_value());
    int filter = 1;
    EXPECT_EQ(OpenFileDialog(QStringLiteral("Open"), QStringLiteral("Dictionary (*.dic)|*.dic"), {}, {}, &filter),
              QStringLiteral("/tmp/a.dic"));
    EXPECT_EQ(filter, 2);
    EXPECT_TRUE(SaveFileDialog(QStringLiteral("Save As"), QStringLiteral("Text|*.txt")).isEmpty());
    EXPECT_EQ(script.prompts()[2].kind, PromptKind::OpenFile);
    EXPECT_EQ(script.prompts()[3].kind, PromptKind::SaveFile);
}

TEST(PrompterDeathTest, AnUnansweredPromptFailsFastInsteadOfHanging)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ScriptedPrompter script;
            MsgBox(QStringLiteral("Nobody answers this"), Buttons::YesNo);
        },
        "Unanswered prompt: \"Nobody answers this\"");
}

TEST(Prompter, ALenientScriptAnswersCancelAndCounts)
{
    ScriptedPrompter script;
    script.setLenient(true);
    EXPECT_EQ(MsgBox(QStringLiteral("x"), Buttons::YesNo), Answer::No);
    EXPECT_EQ(MsgBox(QStringLiteral("y"), Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(script.unanswered(), 2);
}
