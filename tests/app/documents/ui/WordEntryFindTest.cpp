// The dictionary window's word entry against the in-process chip, its word
// list, and the Find dialog over a grid and a text window.
#include "app/Globals.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmFind.h"
#include "app/documents/ui/frmTextBox.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "components/lexmold/cLexmold.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/support/TestEnv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

GridRows rowsOf(const QStringList &lines)
{
    GridRows g;
    for (const QString &line : lines)
        g.row(g.AddRow()).text = line;
    return g;
}

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
        if (Comm) {
            Comm->setPortOpen(false);
            Comm = nullptr;
        }
        Port = 0;
        DicCompiler = nullptr;
    }
    chipsim::Chip *attachChip()
    {
        qputenv("VOXMERE_COM7", "sim");
        chipsim::resetSimulatedChips();
        chipsim::Chip *chip = chipsim::simulatedChip(7);
        Comm = link.GetCommObject();
        Comm->setCommPort(7);
        Comm->setSettings(QStringLiteral("9600,N,8,1"));
        Comm->setDTREnable(true);
        Comm->setPortOpen(true);
        Comm->setOutput(QByteArray("\r"));
        Port = 7;
        QTest::qWait(50);
        chip->clearLogs();
        return chip;
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
}
