// The dictionary window's word entry against the in-process chip, its word
// list, and the Find dialog over a grid, a text window and a sound library.
#include "app/Globals.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmFind.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/Speaking.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "components/lexmold/cLexmold.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/app/documents/GridTesting.h"
#include "tests/support/SimLink.h"
#include "tests/support/TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using gridtest::rowsOf;

class WordsAndFind : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        ResetDocuments();
        RegisterDictionaryDocuments();
        RegisterTextDocuments();
        DicCompiler = &lexmold;
        prompts.setLenient(true);
        dir = QString::fromStdString(vxtest::freshDir("words-find"));
    }
    void TearDown() override
    {
        frmFind::Unload();
        ResetDocuments();
        vxtest::detachSimChip();
        DicCompiler = nullptr;
    }
    chipsim::Chip *attachChip()
    {
        chipsim::Chip *chip = vxtest::attachSimChip(link, 7);
        Comm->setOutput(QByteArray("\r"));
        QTest::qWait(50);
        chip->clearLogs();
        return chip;
    }
    // A text file in the test folder, for a word list.
    QString writeText(const QString &name, const QByteArray &text) const
    {
        const QString path = dir + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        return path;
    }

    vx::ScriptedPrompter prompts;
    cLexmold lexmold;
    cTolvane link;
    QString dir;
};

} // namespace

TEST_F(WordsAndFind, DictionaryAddsRulesSpeaksAndListsWords)
{
    chipsim::Chip *chip = attachChip();
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    ASSERT_NE(w, nullptr);
    w->vbalGrid1->setRows(rowsOf({QStringLiteral("(a)=ey")}));

    // Enter in Text String: the word is wrapped and the chip's transcription becomes the rule.
    w->txtWord->setText(QStringLiteral("hello"));
    w->txtSoundsLike->clear();
    QTest::keyClick(w->txtWord, Qt::Key_Return);
    ASSERT_EQ(w->vbalGrid1->Rows(), 2);
    EXPECT_EQ(w->vbalGrid1->SelectedRow(), 2);
    const QString rule = w->vbalGrid1->rows().row(2).text;
    EXPECT_TRUE(rule.startsWith(QStringLiteral("(hello)="))) << rule.toStdString();
    EXPECT_GT(rule.size(), 8);
    EXPECT_TRUE(chip->acceptedBytes().contains(QByteArray("\x18\x01t", 3)));
    EXPECT_TRUE(chip->acceptedBytes().contains(QByteArray("\x01" "10?hello", 9) + '\0'));
    EXPECT_EQ(w->txtWord->text(), QStringLiteral("(hello)"));
    EXPECT_TRUE(w->txtSoundsLike->text().startsWith(QLatin1Char('<')));
    EXPECT_TRUE(w->windowTitle().contains(QLatin1Char('*')));

    // Phonetic text and comments need no chip; a tone command is kept as the command.
    struct Case { const char *word, *sounds, *row; } cases[] = {
        {"hello", "<hh eh l ow>", "(hello)=hh eh l ow"},
        {"#(ph)", "<f>", "#(ph)=f"},
        {";note", "whatever", ";note"},
        {"beep", "~5J", "(beep)=\\01J"},
    };
    for (const Case &c : cases) {
        chip->clearLogs();
        w->txtWord->setText(QString::fromLatin1(c.word));
        w->txtSoundsLike->setText(QString::fromLatin1(c.sounds));
        w->cmdAdd_Click();
        EXPECT_EQ(w->vbalGrid1->rows().row(w->vbalGrid1->SelectedRow()).text, QString::fromLatin1(c.row));
        EXPECT_TRUE(chip->acceptedBytes().isEmpty()) << c.word;
    }

    // A right click in Sounds Like offers the chip commands; one goes in at the caret.
    QString shown;
    setPopupMenuDriver([&shown](QWidget *, QMenu *menu) {
        shown = menu->objectName();
        auto *mods = menu->findChild<QAction *>(QStringLiteral("mnuSoundsLikePhmMod"));
        if (mods && mods->menu())
            mods->menu()->actions().value(1)->trigger();
    });
    w->txtSoundsLike->setText(QStringLiteral("ab"));
    w->txtSoundsLike->setFocus();
    QCoreApplication::processEvents();
    w->txtSoundsLike->setCursorPosition(1);
    QTest::mouseClick(w->txtSoundsLike, Qt::RightButton);
    setPopupMenuDriver(nullptr);
    EXPECT_EQ(shown, QStringLiteral("mnuSoundsLike"));
    EXPECT_EQ(w->txtSoundsLike->text(), QStringLiteral("a/b"));

    // A selection in a word box is what the Edit menu and the toolbar see.
    w->txtWord->setText(QStringLiteral("hello"));
    w->txtWord->setFocus();
    w->txtWord->selectAll();
    EXPECT_EQ(w->state().control, vx::ActiveControl::TextBox);
    EXPECT_EQ(w->state().textBox.selLength, 5);
    EXPECT_FALSE(w->state().textBox.textEmpty);

    // Saying a word with a context sends only what stands in the parentheses.
    chip->clearLogs();
    w->txtWord->setText(QStringLiteral("#(ph)one"));
    w->picSayWord_Click();
    QTest::qWait(200);
    EXPECT_EQ(chip->acceptedBytes(), QByteArray("\x18\x01t\0ph\0", 7));

    // Without a chip Add waits for phonetic text; Enter without a word adds nothing.
    Port = 0;
    w->txtWord->setText(QStringLiteral("cat"));
    w->txtSoundsLike->setText(QStringLiteral("kat"));
    EXPECT_FALSE(w->cmdAdd->isEnabled());
    w->txtSoundsLike->setText(QStringLiteral("<k ae t>"));
    EXPECT_TRUE(w->cmdAdd->isEnabled());
    const int rows = w->vbalGrid1->Rows();
    w->txtWord->clear();
    QTest::keyClick(w->txtWord, Qt::Key_Return);
    EXPECT_EQ(w->vbalGrid1->Rows(), rows);
    // Nor while Add is disabled: the typed text stays, the document unchanged.
    DocState[w->slot()].Dirty = false;
    w->txtWord->setText(QStringLiteral("hallo"));
    w->txtSoundsLike->setText(QStringLiteral("hallo there"));
    ASSERT_FALSE(w->cmdAdd->isEnabled());
    QTest::keyClick(w->txtSoundsLike, Qt::Key_Return);
    EXPECT_EQ(w->vbalGrid1->Rows(), rows);
    EXPECT_EQ(w->txtWord->text(), QStringLiteral("hallo"));
    EXPECT_EQ(w->txtSoundsLike->text(), QStringLiteral("hallo there"));
    EXPECT_FALSE(DocState[w->slot()].Dirty);

    // The word list: counted, sorted by decreasing frequency, the first item selected;
    // a click fills both boxes, a double click without a chip does nothing more.
    const QString path = dir + QStringLiteral("/words.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Hello, hello HELLO!\r\n(don't) 1999 -- ~5s\r\n");
    f.close();
    w->CreateWordList(path);
    ASSERT_EQ(w->lvwWordList->topLevelItemCount(), 2);
    EXPECT_EQ(w->lvwWordList->topLevelItem(0)->text(0), QStringLiteral("hello (3)"));
    EXPECT_EQ(w->lvwWordList->topLevelItem(1)->text(0), QStringLiteral("don't (1)"));
    EXPECT_EQ(w->lvwWordList->currentItem(), w->lvwWordList->topLevelItem(0));
    EXPECT_EQ(w->lblWordList1->text(), QStringLiteral("Words.txt: 2 unique words"));
    // The window opens wide enough for the caption row: the hint reads whole
    // between the caption and the sort box, and the sort box stays inside.
    EXPECT_GE(w->lblWordList2->width(), w->lblWordList2->sizeHint().width());
    EXPECT_GT(w->lblWordList2->x(), w->lblWordList1->geometry().right());
    EXPECT_LT(w->lblWordList2->geometry().right(), w->picSortBy->x());
    EXPECT_LE(w->picSortBy->geometry().right(), w->width());
    EXPECT_FALSE(Busy);
    w->lvwWordList->setCurrentItem(w->lvwWordList->topLevelItem(1));
    w->lvwWordList_Click();
    EXPECT_EQ(w->txtWord->text(), QStringLiteral("don't"));
    EXPECT_EQ(w->txtSoundsLike->text(), QStringLiteral("don't"));
    chip->clearLogs();
    w->lvwWordList_DblClick();
    EXPECT_TRUE(chip->acceptedBytes().isEmpty());

    // An unreadable file ends with a message, never busy.
    prompts.clear();
    w->CreateWordList(dir + QStringLiteral("/missing.txt"));
    EXPECT_FALSE(Busy);
    ASSERT_FALSE(prompts.prompts().isEmpty());
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("Error")));
}

TEST_F(WordsAndFind, FindSearchesGridsAndTextsAndKeepsItsHistory)
{
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    ASSERT_NE(w, nullptr);
    GridRows g = rowsOf({QStringLiteral("concat cat"), QStringLiteral("(a1)=b"), QStringLiteral("; group"),
                         QStringLiteral("(dog)=d aa g"), QStringLiteral("(fox)=f")});
    g.row(3).itemData = 2;
    g.row(3).icon = kIconCollapsed;
    g.row(4).itemData = kLastGroupMember;
    g.row(4).visible = false;
    w->vbalGrid1->setRows(g);
    DocState[w->slot()].Dirty = false;
    w->RefreshCaption();

    frmFind *find = frmFind::instance();
    find->chkWholeWord->setChecked(true);
    prompts.clear();
    GeneralFind(QStringLiteral("cat"));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral("\"cat\" not found. "));
    GeneralFind(QStringLiteral("A"));
    EXPECT_EQ(w->vbalGrid1->SelectedRow(), 2);

    // A match in a collapsed group opens the group and marks the document modified.
    GeneralFind(QStringLiteral("dog"));
    EXPECT_EQ(w->vbalGrid1->SelectedRow(), 4);
    EXPECT_TRUE(w->vbalGrid1->rows().row(4).visible);
    EXPECT_TRUE(w->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_EQ(w->txtWord->text(), QStringLiteral("(dog)"));

    // A text window whose only match is selected finds it again after the wrap, silently.
    NewTextDocument();
    auto *t = qobject_cast<frmTextBox *>(ActiveDocument());
    ASSERT_NE(t, nullptr);
    t->txtInputBox->setText(QStringLiteral("abc def"));
    QTextCursor c = t->txtInputBox->textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    t->txtInputBox->setTextCursor(c);
    prompts.clear();
    find->chkWholeWord->setChecked(false);
    GeneralFind(QStringLiteral("def"));
    EXPECT_TRUE(prompts.prompts().isEmpty());
    EXPECT_EQ(t->txtInputBox->SelStart(), 4);
    EXPECT_EQ(t->txtInputBox->SelLength(), 3);

    // History: one entry per text whatever its case, new texts on top; Done keeps the text.
    for (const char *s : {"Abc", "abc", "def"}) {
        find->cboFindWhat->setEditText(QString::fromLatin1(s));
        find->cmdFindNext_Click();
    }
    EXPECT_EQ(find->history(), (QStringList{QStringLiteral("def"), QStringLiteral("Abc")}));
    find->cmdCancel_Click();
    EXPECT_EQ(LastFindText, QStringLiteral("def"));
    EXPECT_EQ(FindOptions, 0);

    // Seeded from a selection across a line break, Find Next finds that text.
    t->txtInputBox->setText(QStringLiteral("ab\ncd ab cd"));
    c = t->txtInputBox->textCursor();
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    t->txtInputBox->setTextCursor(c);
    FindText();
    prompts.clear();
    find->cmdFindNext_Click();
    EXPECT_TRUE(prompts.prompts().isEmpty());
    EXPECT_EQ(t->txtInputBox->SelStart(), 0);
    EXPECT_EQ(t->txtInputBox->SelLength(), 5);

    // What is typed is searched, not a longer entry of the history.
    find->cboFindWhat->insertItem(0, QStringLiteral("Doctor"));
    find->cboFindWhat->clearEditText();
    find->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(find));
    find->cboFindWhat->setFocus();
    QTest::keyClicks(find->cboFindWhat->lineEdit(), QStringLiteral("doc"));
    EXPECT_EQ(find->cboFindWhat->currentText(), QStringLiteral("doc"));
}

TEST_F(WordsAndFind, WordListIgnoresSpeakingStateAndSortsOnRequest)
{
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    ASSERT_NE(w, nullptr);
    const QString path = writeText(QStringLiteral("story.txt"), "b a   b   a c\r\n~5s\r\n");
    const auto items = [w] {
        QStringList out;
        for (int i = 0; i < w->lvwWordList->topLevelItemCount(); ++i)
            out << w->lvwWordList->topLevelItem(i)->text(0);
        return out;
    };

    // The control panel on phonemes and a word being tracked: the list still
    // splits at every blank, and the tracking is left where it was.
    frmCpanels *panels = ControlPanels();
    panels->cboMode->setCurrentIndex(1);
    ASSERT_EQ(PanelModeIndex(), 1);
    Receiver.state().TrackPos = 42;
    for (const QString &shortcut : {QStringLiteral("~"), QString()}) {
        CommandChar = shortcut;
        w->CreateWordList(path);
        const QStringList expected = shortcut.isEmpty() ? QStringList{"b (2)", "a (2)", "c (1)", "s (1)"}
                                                        : QStringList{"b (2)", "a (2)", "c (1)"};
        EXPECT_EQ(items(), expected) << shortcut.toStdString();
    }
    EXPECT_EQ(Receiver.state().TrackPos, 42);
    EXPECT_FALSE(Busy);

    // Z-A on b (2), a (2), c (1), chosen from the sort list.
    CommandChar = QStringLiteral("~");
    w->CreateWordList(path);
    w->cboSortMethod->setCurrentIndex(1);
    w->cboSortMethod_Click();
    EXPECT_EQ(items(), (QStringList{"c (1)", "b (2)", "a (2)"}));
    EXPECT_EQ(w->lvwWordList->currentItem(), w->lvwWordList->topLevelItem(0));

    // Cancel in the progress dialog stops at the next update: the first line's words only.
    QTimer::singleShot(0, [] {
        if (frmProgress *p = frmProgress::loaded())
            p->cmdCancel->click();
    });
    w->CreateWordList(path);
    EXPECT_EQ(w->lblWordList1->text(), QStringLiteral("Story.txt: 3 unique words (partial)"));
    EXPECT_EQ(frmProgress::loaded(), nullptr);
}

// A file past what the list reads, under a long name: the bar ends full, and
// in a narrow window the name gives way so the hint reads whole.
TEST_F(WordsAndFind, WordListOfABigFileWithALongName)
{
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    ASSERT_NE(w, nullptr);
    const QByteArray line = QByteArray(1022, 'a') + "\r\n";
    const QString path = writeText(QStringLiteral("the collected stories of many long winter evenings by the fire.txt"),
                                   line.repeated((kWordListMaxBytes + (1 << 20)) / line.size()));
    vbalProgressBar *bar = frmProgress::instance()->vbalProgress;
    int value = -1, maximum = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
        value = v;
        maximum = bar->maximum();
    });
    w->CreateWordList(path);
    EXPECT_GT(value, 0);
    EXPECT_EQ(value, maximum);

    w->resize(880, w->height());
    const QString caption = w->lblWordList1->text();
    EXPECT_TRUE(caption.contains(QChar(0x2026)) && caption.endsWith(QStringLiteral(": 1 unique words (partial)")))
        << caption.toStdString();
    EXPECT_EQ(w->lblWordList2->text(), QStringLiteral("Double-click a word to verify its pronunciation"));
    EXPECT_GE(w->lblWordList2->width(), w->lblWordList2->sizeHint().width());
    EXPECT_GT(w->lblWordList2->x(), w->lblWordList1->geometry().right());
    EXPECT_LT(w->lblWordList2->geometry().right(), w->picSortBy->x());
}

TEST_F(WordsAndFind, FindSearchesASoundLibraryList)
{
    RegisterSoundLibDocuments();
    auto *w = qobject_cast<frmSoundLib *>(NewDocument(vx::WindowKind::SoundLib));
    ASSERT_NE(w, nullptr);
    for (const char *name : {"Theme", "Bell tone", "Toned", "bell"}) {
        SoundRow row;
        row.entry.FileName = QString::fromLatin1(name) + QStringLiteral(".wav");
        row.item.cells[colFile] = QString::fromLatin1(name);
        row.item.cells[colLocation] = QStringLiteral("/snd/tone/");
        w->rows().append(row);
    }
    w->model->reload();
    w->selectOnly(0);

    // Only the first column is searched, forward from the current item and
    // once more from the top; whole word skips "Toned".
    frmFind *find = frmFind::instance();
    find->chkWholeWord->setChecked(true);
    prompts.clear();
    GeneralFind(QStringLiteral("TONE"));
    EXPECT_EQ(w->currentRow(), 1);
    EXPECT_EQ(w->selectedRows(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(w->lblFile1->text(), QStringLiteral("Bell tone.wav"));
    GeneralFind(QStringLiteral("tone"));
    EXPECT_EQ(w->currentRow(), 1);
    EXPECT_TRUE(prompts.prompts().isEmpty());

    find->chkMatchCase->setChecked(true);
    GeneralFind(QStringLiteral("bell"));
    EXPECT_EQ(w->currentRow(), 3);
    GeneralFind(QStringLiteral("snd"));
    EXPECT_EQ(w->currentRow(), 3);
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral("\"snd\" not found. "));
}
