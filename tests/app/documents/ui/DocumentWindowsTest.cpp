#include "app/Globals.h"
#include "app/documents/RecentFiles.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmPhonetic.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/startup/MainWindowRules.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A second kind of document, as the dictionary window will be.
class StubDictionary : public DocumentWindow
{
public:
    vx::WindowKind kind() const override { return vx::WindowKind::Dictionary; }
    WindowState state() const override { return {}; }
    QString AskSaveFileName(const QString &initial) override { return GetSaveDictionaryFileName(initial); }
    bool SaveFile(const QString &, QString *) override { return true; }
    bool LoadFile(const QString &, QString *) override { return true; }
};

using vxtest::readAll;
using vxtest::writeAll;

class DocumentWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        ResetDocuments();
        ResetFileDialogFolder();
        DeleteSetting(mainwin::appName(), QStringLiteral("Recent Files"));
        DocState.resize(2);
        RegisterTextDocuments();
        RegisterDocumentKind(vx::WindowKind::Dictionary, [] { return new StubDictionary; });
        dir = QString::fromStdString(vxtest::freshDir(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override
    {
        ResetDocuments();
        DocState.clear();
    }

    frmTextBox *text(int slot) { return qobject_cast<frmTextBox *>(DocumentAt(slot)); }
    static QString caption(int slot) { return DocumentAt(slot)->windowTitle(); }
    // Closes the window at slot; true when it closed.
    static bool close(int slot) { return DocumentAt(slot)->frame()->close(); }

    vx::ScriptedPrompter prompts;
    QString dir;
};

} // namespace

TEST_F(DocumentWindows, SlotsNamesAndReuse)
{
    NewTextDocument();
    NewDictionaryDocument();
    NewTextDocument();
    EXPECT_EQ(caption(2), QStringLiteral("Text [Untitled1]"));
    EXPECT_EQ(caption(3), QStringLiteral("Dictionary [Untitled2]"));
    EXPECT_EQ(caption(4), QStringLiteral("Text [Untitled3]"));
    EXPECT_EQ(ActiveDocIndex, 4);
    EXPECT_EQ(FindFirstDocumentSlot(), 2);

    // Unmodified documents close without a question (an unanswered prompt would stop the test).
    ASSERT_TRUE(close(3));
    ASSERT_TRUE(close(2));
    EXPECT_TRUE(prompts.prompts().isEmpty());
    EXPECT_EQ(DocumentAt(3), nullptr);
    EXPECT_TRUE(DocState[2].Deleted && DocState[3].Deleted);
    EXPECT_EQ(FindFirstDocumentSlot(), 4);

    NewTextDocument();
    EXPECT_EQ(ActiveDocIndex, 2);
    EXPECT_EQ(caption(2), QStringLiteral("Text [Untitled1]"));
    EXPECT_FALSE(DocState[2].Dirty);
    NewTextDocument();
    EXPECT_EQ(ActiveDocIndex, 3);
    EXPECT_TRUE(text(3)->txtInputBox->Text().isEmpty()); // a reused slot starts clean
    NewTextDocument();
    EXPECT_EQ(ActiveDocIndex, 5);
    EXPECT_EQ(Documents.size(), DocState.size());

    // IsFileOpen: the same file, case counting; a freed slot with that name is not matched.
    DocState[5].FileName = QStringLiteral("/data/A.DIC");
    EXPECT_FALSE(IsFileOpen(QStringLiteral("/Data/a.dic")));
    EXPECT_TRUE(IsFileOpen(QStringLiteral("/data/A.DIC")));
    EXPECT_EQ(ActiveDocIndex, 5);
    ASSERT_TRUE(close(5));
    EXPECT_FALSE(IsFileOpen(QStringLiteral("/data/A.DIC")));
}

TEST_F(DocumentWindows, TypingMarksOnceAndSaveWritesCrLf)
{
    NewTextDocument();
    frmTextBox *w = text(2);
    w->record().FileName = dir + QStringLiteral("/old.txt");
    w->RefreshCaption();
    QTest::keyClicks(w->txtInputBox, QStringLiteral("line1"));
    EXPECT_EQ(caption(2), QStringLiteral("Text [Old.txt]*"));
    QTest::keyClick(w->txtInputBox, Qt::Key_Return);
    QTest::keyClicks(w->txtInputBox, QStringLiteral("line2"));
    EXPECT_EQ(caption(2), QStringLiteral("Text [Old.txt]*")); // one mark at most
    // Shift+Enter is a line break like Enter, not a character to ask about.
    QTest::keyClick(w->txtInputBox, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(w->txtInputBox, QStringLiteral("3"));

    const QString path = dir + QStringLiteral("/my story.TXT");
    prompts.queueFiles({path});
    FileSaveAs();
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Save Text File As"));
    EXPECT_EQ(prompts.last().defaultText, dir + QStringLiteral("/old.txt"));
    EXPECT_EQ(readAll(path), QByteArray("line1\r\nline2\r\n3"));
    EXPECT_FALSE(DocState[2].Dirty);
    EXPECT_EQ(DocState[2].FileName, path);
    EXPECT_EQ(caption(2), QStringLiteral("Text [My Story.txt]"));
    EXPECT_FALSE(SaveCancelled);
    EXPECT_EQ(RecentFiles(), QStringList({path}));

    // Esc collapses the selection to where it began; Ctrl+V pastes only what the limit leaves room for.
    TextBox *box = w->txtInputBox;
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_EQ(box->SelLength(), 0);
    box->setMaxLength(16);
    QApplication::clipboard()->setText(QStringLiteral("abcdef"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("abcline1\nline2\n3"));
    QTest::keyClicks(box, QStringLiteral("zz"));
    EXPECT_EQ(box->Text().size(), 16);
}

TEST_F(DocumentWindows, FailedSaveKeepsOldFileAndDocument)
{
    const QString path = dir + QStringLiteral("/kept.txt");
    writeAll(path, "old contents\r\n");
    NewTextDocument();
    frmTextBox *w = text(2);
    w->record().FileName = path;
    w->txtInputBox->setPlainText(QString(8000, QLatin1Char('x')));
    const QString before = caption(2);
    ASSERT_TRUE(DocState[2].Dirty);

    prompts.queue(vx::Answer::Ok);
    vxtest::onFullDisk(4096, [] { FileSave(); });
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("Error ")));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
    EXPECT_EQ(readAll(path), QByteArray("old contents\r\n"));
    EXPECT_TRUE(DocState[2].Dirty);
    EXPECT_EQ(DocState[2].FileName, path);
    EXPECT_EQ(caption(2), before);
    EXPECT_TRUE(SaveCancelled);
    EXPECT_TRUE(RecentFiles().isEmpty());

    // The close prompt's Yes with that failing save keeps the window, and stops the program's close.
    ClosingAll = true;
    prompts.queue(vx::Answer::Yes);
    prompts.queueFiles({path});
    prompts.queue(vx::Answer::Ok);
    bool closed = true;
    vxtest::onFullDisk(4096, [&] { closed = close(2); });
    EXPECT_FALSE(closed);
    EXPECT_NE(DocumentAt(2), nullptr);
    EXPECT_FALSE(ClosingAll);
    EXPECT_EQ(readAll(path), QByteArray("old contents\r\n"));
}

// A character the file's code page cannot hold would be saved as "?": the
// user is told which ones first, and a No is a save that did not happen.
TEST_F(DocumentWindows, ASaveThatWouldLoseCharactersAsksFirst)
{
    const QString path = dir + QStringLiteral("/kept.txt");
    writeAll(path, "old contents\r\n");
    NewTextDocument();
    frmTextBox *w = text(2);
    w->record().FileName = path;
    w->txtInputBox->setPlainText(QStringLiteral("Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 \u4e2d\u6587 ok"));
    ASSERT_TRUE(DocState[2].Dirty);

    prompts.queue(vx::Answer::No);
    FileSave();
    ASSERT_EQ(prompts.prompts().size(), 1);
    const vx::Prompt &asked = prompts.last();
    EXPECT_TRUE(asked.text.contains(QStringLiteral("Kept.txt")));
    EXPECT_TRUE(asked.text.contains(
        QStringLiteral("\u017c  \u0142  \u0107  \u0119  \u015b  \u0105  \u4e2d  \u6587\r\n")));
    EXPECT_EQ(asked.buttons, vx::Buttons::YesNo);
    EXPECT_EQ(asked.defaultButton, 2);
    EXPECT_EQ(readAll(path), QByteArray("old contents\r\n"));
    EXPECT_TRUE(DocState[2].Dirty);
    EXPECT_TRUE(caption(2).endsWith(QLatin1Char('*')));
    EXPECT_TRUE(SaveCancelled);

    // Asked at the close, No cancels the close and the program's close with it.
    ClosingAll = true;
    prompts.queue(vx::Answer::Yes);
    prompts.queueFiles({path});
    prompts.queue(vx::Answer::No);
    EXPECT_FALSE(close(2));
    EXPECT_FALSE(ClosingAll);
    EXPECT_EQ(readAll(path), QByteArray("old contents\r\n"));

    prompts.queue(vx::Answer::Yes);
    FileSave();
    EXPECT_EQ(readAll(path), QByteArray("Za?\xF3?? g??l? ?? ok"));
    EXPECT_FALSE(DocState[2].Dirty);
    EXPECT_EQ(caption(2), QStringLiteral("Text [Kept.txt]"));
    EXPECT_EQ(prompts.pending(), 0);
}

TEST_F(DocumentWindows, ClosePromptAnswers)
{
    NewTextDocument();
    NewTextDocument();
    QTest::keyClicks(text(3)->txtInputBox, QStringLiteral("x"));

    ClosingAll = true;
    prompts.queue(vx::Answer::Cancel);
    EXPECT_FALSE(close(3));
    const vx::Prompt &p = prompts.last();
    EXPECT_EQ(p.text, QStringLiteral("Do you want to save the changes you made to Untitled2?"));
    EXPECT_EQ(p.buttons, vx::Buttons::YesNoCancel);
    EXPECT_EQ(p.icon, vx::Icon::Exclamation);
    EXPECT_FALSE(ClosingAll);

    // Yes, then Cancel in the file dialog: still open and modified.
    ClosingAll = true;
    prompts.queue(vx::Answer::Yes);
    prompts.queueCancel();
    EXPECT_FALSE(close(3));
    EXPECT_TRUE(DocState[3].Dirty);
    EXPECT_FALSE(ClosingAll);

    // A text window stays open while it is spoken, and asks nothing.
    Busy = true;
    EXPECT_FALSE(close(3));
    Busy = false;

    prompts.queue(vx::Answer::No);
    EXPECT_TRUE(close(3));
    EXPECT_TRUE(DocState[3].Deleted);
    EXPECT_EQ(prompts.prompts().size(), 4);
}

TEST_F(DocumentWindows, TextFilesComeBackByteForByte)
{
    // Every byte value, line breaks as CR LF pairs.
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(char(b));
    }
    all.insert(100, "\r\n");
    const QString in = dir + QStringLiteral("/all.txt");
    const QString out = dir + QStringLiteral("/out.txt");
    writeAll(in, all);
    DocumentWindow *w = OpenDocument(vx::WindowKind::Text, in);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->record().Dirty);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Text [All.txt]"));
    ASSERT_TRUE(w->SaveFile(out, nullptr));
    EXPECT_EQ(readAll(out), all);

    writeAll(in, "one\ntwo\n");
    NewTextDocument();
    ASSERT_TRUE(ActiveDocument()->LoadFile(in, nullptr));
    ASSERT_TRUE(ActiveDocument()->SaveFile(out, nullptr));
    EXPECT_EQ(readAll(out), QByteArray("one\r\ntwo\r\n"));

    // A file that cannot be read leaves no window behind.
    prompts.queue(vx::Answer::Ok);
    EXPECT_EQ(OpenDocument(vx::WindowKind::Text, dir + QStringLiteral("/missing.txt")), nullptr);
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("Can't open file: ")));
    EXPECT_EQ(FindFirstDocumentSlot(), 2);
    EXPECT_EQ(DocumentAt(4), nullptr);
}

TEST_F(DocumentWindows, PhoneticWindowHidesAndStoresItsPlace)
{
    const QString app = mainwin::appName();
    const QString section = QStringLiteral("Settings");
    DeleteSetting(app, section);
    frmPhonetic *w = PhoneticWindow();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Phonetic Output"));

    // The text window's keys: Ctrl+V pastes what the limit leaves room for,
    // Ctrl+R never reaches the box.
    w->txtInputBox->setMaxLength(4);
    QApplication::clipboard()->setText(QStringLiteral("abcdef"));
    QTest::keyClick(w->txtInputBox, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->txtInputBox->Text(), QStringLiteral("abcd"));
    QKeyEvent record(QEvent::KeyPress, Qt::Key_R, Qt::ControlModifier);
    QApplication::sendEvent(w->txtInputBox, &record);
    EXPECT_TRUE(record.isAccepted());
    w->show();
    w->setGeometry(30, 45, 300, 150);
    EXPECT_FALSE(w->close()); // the close box hides
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(PhoneticWindow(), w);
    EXPECT_TRUE(GetSetting(app, section, QStringLiteral("PhoneticsVisible")).isEmpty());

    CommErrChoice = 3;
    ClosingAll = true;
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(GetSetting(app, section, QStringLiteral("PhoneticsVisible")).isEmpty());

    CommErrChoice = 0;
    w->show(); // a closed window takes a close again once shown
    w->hide();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("PhoneticsVisible")), QStringLiteral("False"));
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("PhoneticsLeft")), QStringLiteral("450"));
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("PhoneticsTop")), QStringLiteral("675"));
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("PhoneticsWidth")), QStringLiteral("4500"));
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("PhoneticsHeight")), QStringLiteral("2250"));
}

TEST(FileDialogs, TitlesFiltersAndExtensions)
{
    struct Row
    {
        QString (*call)();
        vx::PromptKind kind;
        const char *title;
        const char *filter;
        const char *ext;
    };
    using vx::PromptKind;
    ChipModel = QStringLiteral("SV3420");
    IsOlderChip = false;
    const Row rows[] = {
        {[] { return GetSaveTextFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Text File As",
         "Text File (*.txt)|*.txt|All Files (*.*)|*.*", "txt"},
        {[] { return GetSaveSoundLibFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Sound Library As", "Sound Library (*.sfl)", "sfl"},
        {[] { return GetSaveGreetingFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Greeting File As", "Greeting File (*.grt)", "grt"},
        {[] { return GetSaveDictionaryFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Dictionary As", "Dictionary File (*.dic)", "dic"},
        {[] { return GetSaveMusicFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Music Score As", "Music File (*.tgn)", "tgn"},
        {[] { return GetSavePcmFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save PCM File As", "PCM File (*.pcm)", "pcm"},
        {[] { return GetSaveWaveFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Wave File As", "Wave File (*.wav)", "wav"},
        {[] { return GetSaveDixFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Compiled Dictionary As", "Compiled Dictionary File (*.dix)", "dix"},
        {[] { return GetSaveTgxFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Compiled Music Score As", "Compiled Music Score (*.tgx)", "tgx"},
        {[] { return GetSaveSfxFileName(QStringLiteral("Untitled3")); }, PromptKind::SaveFile, "Save Compiled Sound Library As", "Compiled Sound Library (*.sfx)", "sfx"},
        {GetOpenDocFileName, PromptKind::OpenFile, "Choose File to Open",
         "SV3420 Files (*.txt,*.dic,*.sfl,*.tgn)|*.txt;*.dic;*.sfl;*.tgn|All Files (*.*)|*.*", ""},
        {GetPlayFileName, PromptKind::OpenFile, "Choose File to Play",
         "Sound Files (*.wav,*.mp3,*.pcm,*.tgx)|*.wav;*.mp3;*.pcm;*.tgx|All Files (*.*)|*.*", ""},
        {GetWordListFileName, PromptKind::OpenFile, "Choose Text File", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", ""},
        {GetConvertFileName, PromptKind::OpenFile, "Choose Sound File to Convert",
         "Windows Sound Files (*.wav,*.mp3)|*.wav;*.mp3|SV3420 Sound Files (*.pcm)|*.pcm|All Files (*.*)|*.*", ""},
        {GetDownloadFileName, PromptKind::OpenFile, "Choose File to Download",
         "SV3420 Files (*.grt,*.dix,*.sfx,*.pcm)|*.grt;*.dix;*.sfx;*.pcm|All Files (*.*)|*.*", ""},
    };
    vx::ScriptedPrompter prompts;
    for (const Row &r : rows) {
        // Cancel gives "", never the name offered.
        prompts.queueCancel();
        EXPECT_EQ(r.call(), QString()) << r.title;
        const vx::Prompt &p = prompts.last();
        EXPECT_EQ(p.kind, r.kind) << r.title;
        EXPECT_EQ(p.title, QLatin1String(r.title));
        EXPECT_EQ(p.filter, QLatin1String(r.filter)) << r.title;
        EXPECT_EQ(p.defaultSuffix, QLatin1String(r.ext)) << r.title;
        EXPECT_EQ(p.defaultText, r.kind == PromptKind::SaveFile ? QStringLiteral("Untitled3") : QString());
    }
    IsOlderChip = true;
    prompts.queueFiles({QStringLiteral("/tmp/x/a.dix")});
    EXPECT_EQ(GetDownloadFileName(), QStringLiteral("/tmp/x/a.dix"));
    EXPECT_EQ(prompts.last().filter, QStringLiteral("SV3410 Files (*.grt,*.dix,*.sfx)|*.grt;*.dix;*.sfx|All Files (*.*)|*.*"));
    // The next dialog opens where the last one chose.
    prompts.queueCancel();
    (void)GetPlayFileName();
    EXPECT_EQ(prompts.last().initialDir, QStringLiteral("/tmp/x"));
}
