// Opening files by type and the recent-file list, with the main window's menus.

#include "app/Globals.h"
#include "app/documents/RecentFiles.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/FileNames.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class OpenFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        DeleteSetting(QStringLiteral("Voxmere"), QStringLiteral("Recent Files"));
        main = std::make_unique<frmMDI>();
        dir = QString::fromStdString(vxtest::freshDir("open")) + QLatin1Char('/');
    }
    void TearDown() override
    {
        ResetDocuments();
        main.reset();
    }

    QString write(const QString &name, const QByteArray &bytes) { return vxtest::writeFileIn(dir, name, bytes); }

    static int windows()
    {
        int n = 0;
        for (const auto &w : std::as_const(Documents))
            n += w != nullptr;
        return n;
    }

    vx::ScriptedPrompter prompter;
    std::unique_ptr<frmMDI> main;
    QString dir;
};

TEST_F(OpenFiles, OpensByTypeAndKeepsTheRecentList)
{
    const QString notes = write(QStringLiteral("notes.Txt"), "hello\r\n");
    OpenFileByType(notes);
    EXPECT_EQ(windows(), 1);
    EXPECT_EQ(ActiveDocument()->windowTitle(), QStringLiteral("Text [Notes.txt]"));
    EXPECT_EQ(RecentFiles(), QStringList({notes}));
    QAction *first = main->Items(QStringLiteral("mnuRecentFile")).value(0);
    EXPECT_EQ(first->text(), QStringLiteral("&1 notes.Txt"));
    EXPECT_TRUE(first->isVisible());
    OpenFileByType(notes); // already open: no second window
    EXPECT_EQ(windows(), 1);

    // Nothing to open, or nothing to open it with: one message, no window, no entry.
    prompter.queue(vx::Answer::Ok);
    OpenFileByType(dir + QStringLiteral("gone.txt"));
    EXPECT_EQ(prompter.last().text, QStringLiteral("Can't open file: ") + dir + QStringLiteral("gone.txt"));
    prompter.queue(vx::Answer::Ok);
    RegisterDocumentKind(vx::WindowKind::Dictionary, nullptr); // no window to open it with
    OpenFileByType(write(QStringLiteral("SONGS.DIC"), "rule\r\n"));
    RegisterDictionaryDocuments();
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Songs.dic cannot be opened")));
    prompter.queue(vx::Answer::Ok);
    OpenFileByType(write(QStringLiteral("bad.sfl"), "hello\r\n"));
    EXPECT_EQ(prompter.last().text, QStringLiteral("Bad.sfl is not a valid sound library.  "));
    OpenFileByType(write(QStringLiteral("words.dix"), "x")); // no chip: nothing, silently
    prompter.queue(vx::Answer::No);
    OpenFileByType(write(QStringLiteral("big.txt"), QByteArray(400001, 'a')));
    EXPECT_EQ(prompter.last().title, QStringLiteral("Open Text File"));
    EXPECT_EQ(prompter.pending(), 0);
    EXPECT_EQ(windows(), 1);
    EXPECT_EQ(RecentFiles(), QStringList({notes}));

    // A recent entry whose file is gone leaves the list; its item hides.
    const QString other = write(QStringLiteral("other.txt"), "x");
    OpenTextFile(other);
    QFile::remove(notes);
    ResetDocuments();
    DocState.clear();
    EXPECT_EQ(RecentFiles(), QStringList({other, notes}));
    prompter.queue(vx::Answer::Ok);
    OpenRecentFile(2);
    EXPECT_EQ(prompter.last().text, QStringLiteral("Can't open file: ") + notes);
    EXPECT_EQ(RecentFiles(), QStringList({other}));
    EXPECT_FALSE(main->Items(QStringLiteral("mnuRecentFile")).value(1)->isVisible());

    // A recent entry opens by its head: "KWLIB" makes a sound library.
    const QString voices = write(QStringLiteral("voices.dat"), "plain words");
    AddRecentFile(voices);
    OpenRecentFile(1);
    EXPECT_EQ(ActiveDocument()->windowTitle(), QStringLiteral("Text [Voices.dat]"));
}

// A name that is not valid UTF-8, as the command line gives it, opens.
TEST_F(OpenFiles, ANameThatIsNotUtf8Opens)
{
    const QByteArray raw = QFile::encodeName(dir) + "caf\xe9.txt";
    std::ofstream(raw.constData(), std::ios::binary) << "hello\r\n";
    const char *argv[] = {"Voxmere", raw.constData()};
    prompter.setLenient(true);
    OpenFileByType(vx::fileArguments(2, argv).value(0));
    EXPECT_TRUE(prompter.prompts().isEmpty());
    EXPECT_EQ(windows(), 1);
}

// A window laid out by hand opens at its own size, not as a bare title bar.
TEST_F(OpenFiles, DictionaryOpensAtItsOwnSize)
{
    main->resize(1200, 900);
    main->show();
    OpenFileByType(write(QStringLiteral("words.dic"), "(CAT)=K AE T\r\n"));
    auto *w = qobject_cast<frmDictionary *>(ActiveDocument());
    ASSERT_NE(w, nullptr);
    EXPECT_GE(w->height(), vx::twipsToPixels(5400) - 40);
    EXPECT_GE(w->width(), vx::twipsToPixels(9300) - 40);
}

} // namespace
