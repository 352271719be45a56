// Opening files by type and the recent-file list, with the main window's menus.

#include "app/Globals.h"
#include "app/documents/GridFile.h"
#include "app/documents/RecentFiles.h"
#include "app/documents/SoundLibFile.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmPhonetic.h"
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
#include <QMdiArea>
#include <QTest>

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
    // A grid file larger than its compiler takes: refused unread, one message.
    const QString huge = write(QStringLiteral("huge.tgn"), "x");
    ASSERT_TRUE(QFile::resize(huge, MaxGridFileBytes(false) + 1));
    const auto asked = prompter.prompts().size();
    prompter.queue(vx::Answer::Ok);
    OpenFileByType(huge);
    EXPECT_EQ(prompter.prompts().size(), asked + 1);
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Can't open file: ") + huge));
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

    // A long text from the list asks first, as File > Open does.
    const QString log = write(QStringLiteral("long.log"), QByteArray(450000, 'a'));
    AddRecentFile(log);
    const int before = windows();
    prompter.queue(vx::Answer::No);
    OpenRecentFile(1);
    EXPECT_EQ(prompter.last().title, QStringLiteral("Open Text File"));
    EXPECT_EQ(windows(), before);
    prompter.queue(vx::Answer::Yes);
    OpenRecentFile(1);
    EXPECT_EQ(ActiveDocument()->windowTitle(), QStringLiteral("Text [Long.log]"));
    EXPECT_EQ(prompter.pending(), 0);

    // A name that differs only in case is another file, in a window of its own.
    const int open = windows();
    const QString upper = write(QStringLiteral("LONG.log"), "x");
    OpenTextFile(upper);
    EXPECT_EQ(windows(), open + 1);
    EXPECT_EQ(ActiveDocument()->record().FileName, upper);
}

// A grid file larger than its compiler takes is refused before any window
// is made: none shows behind the message.
TEST_F(OpenFiles, AGridFileTooLargeMakesNoWindow)
{
    struct Watching : vx::ScriptedPrompter
    {
        QMdiArea *area = nullptr;
        qsizetype windowsWhileAsked = -1;
        vx::Reply ask(const vx::Prompt &p) override
        {
            windowsWhileAsked = area->subWindowList().size();
            return ScriptedPrompter::ask(p);
        }
    } watching;
    watching.area = main->MDIClient;
    for (const bool dictionary : {true, false}) {
        const QString huge = write(QLatin1String(dictionary ? "huge.dic" : "huge.tgn"), "x");
        ASSERT_TRUE(QFile::resize(huge, MaxGridFileBytes(dictionary) + 1));
        watching.queue(vx::Answer::Ok);
        OpenFileByType(huge);
        EXPECT_EQ(watching.windowsWhileAsked, 0) << dictionary;
        EXPECT_TRUE(watching.last().text.startsWith(QStringLiteral("Can't open file: ") + huge +
                                                    QStringLiteral("\nThe file is larger than a ")));
        EXPECT_EQ(windows(), 0);
    }
    EXPECT_EQ(watching.prompts().size(), 2);
}

// A sound library its reader refuses, too large or damaged, makes no window
// at all: one message each, and the recent-file list stays as it was.
TEST_F(OpenFiles, ASoundLibraryItsReaderRefusesMakesNoWindow)
{
    struct Counting : QObject
    {
        int made = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            made += e->type() == QEvent::ChildAdded;
            return false;
        }
    } windowsMade;
    main->MDIClient->viewport()->installEventFilter(&windowsMade);
    const QByteArray empty = "\"KWLIB\"\r\n4\r\n0\r\n";
    const QString huge = write(QStringLiteral("huge.sfl"), empty);
    ASSERT_TRUE(QFile::resize(huge, kMaxSoundLibFileBytes + 1));
    const QString damaged = write(QStringLiteral("damaged.sfl"), "\"KWLIB\"\r\n4\r\n2\r\nthree\r\n");
    AddRecentFile(write(QStringLiteral("notes.txt"), "x"));
    const QStringList recent = RecentFiles();
    for (const QString &path : {huge, damaged}) {
        prompter.queue(vx::Answer::Ok);
        OpenFileByType(path);
        EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Can't open file: ") + path + QLatin1Char('\n')));
    }
    EXPECT_EQ(prompter.prompts().size(), 2);
    EXPECT_EQ(windowsMade.made, 0);
    EXPECT_EQ(RecentFiles(), recent);

    OpenFileByType(write(QStringLiteral("good.sfl"), empty)); // the count sees a window that is made
    EXPECT_EQ(windowsMade.made, 1);
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

    // Its entry in the recent-file list opens it again.
    ResetDocuments();
    DocState.clear();
    OpenRecentFile(1);
    EXPECT_TRUE(prompter.prompts().isEmpty());
    EXPECT_EQ(windows(), 1);
    EXPECT_EQ(vx::fileNameBytes(ActiveDocument()->record().FileName), raw);
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

// A child shows inside the document area, however large its place; the
// place stored for the next start stays the one it was given.
TEST_F(OpenFiles, WindowsShowInsideTheDocumentArea)
{
    main->resize(800, 450);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    const QRect area = main->MDIClient->viewport()->rect();
    frmPhonetic *phonetic = PhoneticWindow();
    QWidget *frame = FrameOf(phonetic);
    frame->hide();
    frame->setGeometry(30, 40, 3000, 200);
    frame->show();
    EXPECT_TRUE(area.contains(frame->geometry())) << frame->geometry().width();
    ClosingAll = true;
    frame->close();
    ClosingAll = false;
    EXPECT_EQ(GetSetting(QStringLiteral("Voxmere"), QStringLiteral("Settings"), QStringLiteral("PhoneticsWidth")),
              QString::number(vx::pixelsToTwips(3000)));

    // The word list's taller window still ends above the status bar.
    NewDictionaryDocument();
    auto *dictionary = qobject_cast<frmDictionary *>(ActiveDocument());
    ASSERT_NE(dictionary, nullptr);
    dictionary->CreateWordList(write(QStringLiteral("story.txt"), "a b b\r\n"));
    EXPECT_TRUE(area.contains(dictionary->frame()->geometry()));
}

// The document area turns drawing off while it switches maximised windows;
// the dictionary's grid, laid out meanwhile, paints again afterwards.
TEST_F(OpenFiles, AGridPaintsAfterMaximisedWindowsSwitch)
{
    main->resize(1000, 700);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    NewDictionaryDocument();
    auto *dictionary = qobject_cast<frmDictionary *>(ActiveDocument());
    ASSERT_NE(dictionary, nullptr);
    dictionary->frame()->showMaximized();
    NewTextDocument();
    ActiveDocument()->frame()->showMaximized();
    QCoreApplication::processEvents();
    dictionary->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dictionary->vbalGrid1->updatesEnabled());
}

} // namespace
