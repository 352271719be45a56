// The music score and dictionary windows: compiling their rows, playing a
// score on the emulated chip, and what a failed compile or write reports.
#include "app/Globals.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmMusic.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "components/cantorel/cCantorel.h"
#include "controls/splitter/Splitter.h"
#include "components/lexmold/cLexmold.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/app/documents/GridTesting.h"
#include "tests/support/Files.h"
#include "tests/support/SimLink.h"
#include "tests/support/TestEnv.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using vxtest::readAll;
using vxtest::writeAll;

using gridtest::rowsOf;

QByteArray sourceOf(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

class GridWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        ResetDocuments();
        RegisterMusicDocuments();
        RegisterDictionaryDocuments();
        dir = QString::fromStdString(vxtest::freshDir("grid-windows"));
        TempFolder = QString::fromStdString(vxtest::freshDir("grid-windows-temp")) + QLatin1Char('/');
        DicCompiler = &lexmold;
        MusicCompiler = &cantorel;
        lexmold.SetMessageSink([this](const std::string &text, const std::string &) {
            ruleMessages.append(QString::fromStdString(text));
        });
    }
    void TearDown() override
    {
        ResetDocuments();
        vxtest::detachSimChip();
        DicCompiler = nullptr;
        MusicCompiler = nullptr;
    }

    chipsim::Chip *attachChip()
    {
        return vxtest::attachSimChip(link, 7);
    }

    [[nodiscard]] QStringList tempFiles() const { return QDir(TempFolder).entryList(QDir::Files); }

    vx::ScriptedPrompter prompts;
    cLexmold lexmold;
    cCantorel cantorel;
    cTolvane link;
    QStringList ruleMessages;
    QString dir;
};

} // namespace

TEST_F(GridWindows, MusicScoreCompilesPlaysAndReportsItsErrors)
{
    NewMusicDocument();
    auto *w = qobject_cast<frmMusic *>(ActiveDocument());
    ASSERT_NE(w, nullptr);
    // A new score opens on its first line, ready to type; an opened file gets no extra row.
    EXPECT_EQ(w->vbalGrid1->Rows(), 1);
    EXPECT_TRUE(w->vbalGrid1->isEditing());
    EXPECT_EQ(w->vbalGrid1->lRowS, 1);
    EXPECT_FALSE(w->record().Dirty);
    writeAll(dir + QStringLiteral("/one.tgn"), "v1qc4\r\n");
    DocumentWindow *opened = OpenDocument(vx::WindowKind::Music, dir + QStringLiteral("/one.tgn"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(qobject_cast<frmMusic *>(opened)->vbalGrid1->Rows(), 1);
    opened->frame()->close();
    ActiveDocIndex = w->slot();
    QStringList lines;
    for (int i = 1; i <= 11; ++i)
        lines << QStringLiteral("v1qc4v2qe4");
    lines << QStringLiteral("v1qc9");
    w->vbalGrid1->setRows(rowsOf(lines));
    const QString tgx = dir + QStringLiteral("/score.tgx");
    writeAll(tgx, "stale");

    // A bad note in row 12: its code without the object-error base, the row selected, no object file.
    prompts.queueFiles({tgx});
    prompts.queue(vx::Answer::Ok);
    CompileMusicScore();
    EXPECT_EQ(prompts.last().text, QStringLiteral("Error 3004: Invalid note (voice 1) in line 12"));
    EXPECT_EQ(w->vbalGrid1->SelectedRow(), 12);
    EXPECT_FALSE(QFile::exists(tgx));
    EXPECT_TRUE(tempFiles().isEmpty());

    // Mended, it compiles to what the compiler makes of the same lines.
    lines.last() = QStringLiteral("v1hg4");
    w->vbalGrid1->setRows(rowsOf(lines));
    prompts.queueFiles({tgx});
    prompts.queue(vx::Answer::Ok);
    CompileMusicScore();
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Score.tgx' was successfully created. "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Compile Music Score"));
    const QString ownSource = dir + QStringLiteral("/own.tgn");
    const QString ownObject = dir + QStringLiteral("/own.tgx");
    writeAll(ownSource, sourceOf(lines));
    int line = 0;
    cantorel.CompileFile(ownSource.toStdString(), ownObject.toStdString(), line);
    const QByteArray compiled = readAll(ownObject);
    EXPECT_EQ(readAll(tgx), compiled);
    // A row beginning ";#" is a comment to the score compiler too.
    QStringList noted = lines;
    noted.insert(3, QStringLiteral(";# my comment"));
    w->vbalGrid1->setRows(rowsOf(noted));
    prompts.queueFiles({tgx});
    prompts.queue(vx::Answer::Ok);
    CompileMusicScore();
    EXPECT_EQ(readAll(tgx), compiled);

    // Ctrl+P plays it: the chip hears the records after the tone command,
    // and the temporary folder is left empty.
    chipsim::Chip *chip = attachChip();
    vx::Clock::setSpeed(50.0);
    QTest::keyClick(w->vbalGrid1, Qt::Key_P, Qt::ControlModifier);
    vx::Clock::setSpeed(1.0);
    const QByteArray heard = chip->acceptedBytes();
    const QByteArray body = compiled.mid(compiled.indexOf('j') + 1);
    EXPECT_TRUE(heard.contains(QByteArray("\x18\x01j", 3) + body)) << heard.toHex().toStdString();
    EXPECT_TRUE(heard.endsWith(QByteArray(8, '\0') + QByteArray("\x00\x00\x00\x18", 4)));
    EXPECT_EQ(chip->tones().size(), 12);
    EXPECT_TRUE(tempFiles().isEmpty());
    EXPECT_FALSE(Busy);

    // A source that cannot be written is reported; nothing is left behind.
    QStringList big;
    for (int i = 0; i < 400; ++i)
        big << QStringLiteral("v1qc4v2qe4v3qg4 ; a long line to fill the disk");
    w->vbalGrid1->setRows(rowsOf(big));
    chip->clearLogs();
    prompts.queue(vx::Answer::Ok);
    vxtest::onFullDisk(4096, [] { PlayMusicScore(); });
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("Error 75: "))) << prompts.last().text.toStdString();
    EXPECT_TRUE(chip->acceptedBytes().isEmpty());
    EXPECT_TRUE(tempFiles().isEmpty());
}

TEST_F(GridWindows, DictionaryCompilesToWhatTheCompilerMakesAndSelectsABadRule)
{
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Splitter1->SplitPercent(), 100);
    EXPECT_EQ(w->cboSortMethod->currentText(), QStringLiteral(" Decreasing Freq"));
    QStringList lines;
    for (char a = 'A'; a <= 'J'; ++a)
        for (char b = 'A'; b <= 'T'; ++b)
            lines << QStringLiteral("(%1%2)=AO F").arg(QLatin1Char(a)).arg(QLatin1Char(b));
    ASSERT_EQ(lines.size(), 200);
    w->vbalGrid1->setRows(rowsOf(lines));
    const QString dix = dir + QStringLiteral("/words.dix");

    prompts.queueFiles({dix});
    prompts.queue(vx::Answer::Ok);
    CompileDictionary();
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Words.dix' was successfully created. "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Compile Dictionary"));
    const QString ownSource = dir + QStringLiteral("/own.dic");
    const QString ownObject = dir + QStringLiteral("/own.dix");
    writeAll(ownSource, sourceOf(lines));
    ASSERT_EQ(lexmold.CompileFile(ownSource.toStdU16String(), DictCharSet, ownObject.toStdU16String()), 0);
    EXPECT_EQ(readAll(dix), readAll(ownObject));

    // A compiled file that cannot be written is named as the user wrote it.
    prompts.queueFiles({dir + QStringLiteral("/Wörter/words.dix")});
    prompts.queue(vx::Answer::Ok);
    CompileDictionary();
    EXPECT_TRUE(prompts.last().text.contains(QStringLiteral("/Wörter/words.dix': No such file")))
        << prompts.last().text.toStdString();

    // A row the user began with ";#" stays a row through open and save, and
    // compiles as the comment it is: the same bytes.
    QStringList noted = lines;
    noted.insert(1, QStringLiteral(";# my comment"));
    const QString notedSource = dir + QStringLiteral("/noted.dic");
    writeAll(notedSource, sourceOf(noted));
    DocumentWindow *opened = OpenDocument(vx::WindowKind::Dictionary, notedSource);
    ASSERT_NE(opened, nullptr);
    auto *n = qobject_cast<frmDictionary *>(opened);
    EXPECT_EQ(gridtest::texts(n->vbalGrid1->rows()), noted);
    ASSERT_TRUE(n->SaveFile(notedSource, nullptr));
    EXPECT_EQ(readAll(notedSource), sourceOf(noted));
    prompts.queueFiles({dix});
    prompts.queue(vx::Answer::Ok);
    CompileDictionary();
    EXPECT_EQ(readAll(dix), readAll(ownObject));
    n->frame()->close();
    ActiveDocIndex = w->slot();

    // With a chip configured the download is offered; No sends nothing.
    Port = 3;
    ModuleName = QStringLiteral("Evaluation Board");
    prompts.queueFiles({dix});
    prompts.queue(vx::Answer::No);
    CompileDictionary();
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Words.dix' was successfully created. Would you \r\nlike to "
                                                  "download it to the Evaluation Board at this time? "));
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::YesNo);
    EXPECT_EQ(prompts.last().defaultButton, 2);

    // Yes sends the dictionary it wrote, whatever the name the user gave it.
    chipsim::Chip *chip = attachChip();
    Comm->setOutput(QByteArray("\r")); // the chip takes the line's speed
    cTolv = &link;
    DownloadTitle = QStringLiteral("SV3420 Download");
    const QString obj = dir + QStringLiteral("/words.obj");
    prompts.queueFiles({obj});
    prompts.queue(vx::Answer::Yes);
    prompts.queue(vx::Answer::Ok);
    CompileDictionary();
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Words.obj' was successfully downloaded. "));
    EXPECT_EQ(chip->dictionary(), readAll(obj));
    EXPECT_EQ(readAll(obj), readAll(ownObject));
    cTolv = nullptr;
    vxtest::detachSimChip();
    Port = 0;

    // A bad rule in row 7: reported by the compiler, its row selected, no object file, no source left.
    lines[6] = QStringLiteral("(A)=Q");
    w->vbalGrid1->setRows(rowsOf(lines));
    const int before = static_cast<int>(prompts.prompts().size());
    prompts.queueFiles({dix});
    CompileDictionary();
    EXPECT_EQ(static_cast<int>(prompts.prompts().size()), before + 1); // only the file dialog
    EXPECT_EQ(ruleMessages.size(), 1);
    EXPECT_EQ(w->vbalGrid1->SelectedRow(), 7);
    EXPECT_FALSE(QFile::exists(dix));
    EXPECT_TRUE(tempFiles().isEmpty());

    // The rule check lets the section line pass, and nothing at compile-time checking.
    EXPECT_TRUE(CheckDictionaryRule(QStringLiteral(" c "), true));
    EXPECT_FALSE(CheckDictionaryRule(QStringLiteral("(A)=C"), true));
    DictSynCk = 1;
    EXPECT_TRUE(CheckDictionaryRule(QStringLiteral("(A)=C"), true));
}

// A typed character the code page lacks is named before a save, a compile,
// a play or a rule check turns it into "?"; a No writes, compiles and sends
// nothing. A comment's characters reach no compiled file and are not asked.
TEST_F(GridWindows, CharactersTheCodePageLacksAreAskedAboutFirst)
{
    const QString lost = QStringLiteral("\r\n\r\n\u017c\r\n\r\n");
    struct Kind
    {
        vx::WindowKind kind;
        const char *source, *shown, *object;
        QStringList rows;
        QByteArray saved;
        void (*compile)();
        const char *created;
    } kinds[] = {
        {vx::WindowKind::Dictionary, "/pl.dic", "Pl.dic", "/pl.dix",
         {QStringLiteral("(\u017c)=EY"), QStringLiteral(";\u0142")},
         "(?)=EY\r\n;?\r\n", CompileDictionary, "'Pl.dix' was successfully created. "},
        {vx::WindowKind::Music, "/pl.tgn", "Pl.tgn", "/pl.tgx",
         {QStringLiteral("--r\u017c"), QStringLiteral("p\u017c"), QStringLiteral("v1qc4"), QStringLiteral(";\u0142")},
         "--r?\r\np?\r\nv1qc4\r\n;?\r\n", CompileMusicScore, "'Pl.tgx' was successfully created. "},
    };
    for (const Kind &k : kinds) {
        SCOPED_TRACE(k.source);
        auto *w = qobject_cast<GridDocumentWindow *>(NewDocument(k.kind));
        ASSERT_NE(w, nullptr);
        w->vbalGrid1->setRows(rowsOf(k.rows));
        const QString source = dir + QLatin1String(k.source);
        const QString object = dir + QLatin1String(k.object);
        writeAll(source, "old\r\n");
        writeAll(object, "stale");
        w->record().FileName = source;
        w->record().Dirty = true;

        // The save names both characters; No keeps the old file and the mark.
        const auto before = prompts.prompts().size();
        prompts.queue(vx::Answer::No);
        FileSave();
        ASSERT_EQ(prompts.prompts().size(), before + 1);
        EXPECT_TRUE(prompts.last().text.startsWith(QLatin1String(k.shown) + QStringLiteral(" holds")));
        EXPECT_TRUE(prompts.last().text.endsWith(QStringLiteral("\r\n\r\n\u017c  \u0142\r\n\r\nSave anyway?")));
        EXPECT_EQ(prompts.last().defaultButton, 2);
        EXPECT_EQ(readAll(source), QByteArray("old\r\n"));
        EXPECT_TRUE(w->record().Dirty);
        prompts.queue(vx::Answer::Yes);
        FileSave();
        EXPECT_EQ(readAll(source), k.saved);
        EXPECT_FALSE(w->record().Dirty);

        // The compile names the rule's character only; No compiles nothing.
        const auto asked = prompts.prompts().size();
        prompts.queueFiles({object});
        prompts.queue(vx::Answer::No);
        k.compile();
        ASSERT_EQ(prompts.prompts().size(), asked + 2);
        EXPECT_TRUE(prompts.last().text.startsWith(QLatin1String(k.created).mid(1, 6) + QStringLiteral(" holds")));
        EXPECT_TRUE(prompts.last().text.endsWith(QStringLiteral("each would be compiled as \"?\":") + lost +
                                                 QStringLiteral("Compile anyway?")))
            << prompts.last().text.toStdString();
        EXPECT_EQ(prompts.last().defaultButton, 2);
        EXPECT_EQ(readAll(object), QByteArray("stale"));
        EXPECT_TRUE(tempFiles().isEmpty());
        prompts.queueFiles({object});
        prompts.queue(vx::Answer::Yes);
        prompts.queue(vx::Answer::Ok);
        k.compile();
        EXPECT_EQ(prompts.last().text, QLatin1String(k.created)) << prompts.last().text.toStdString();
        EXPECT_NE(readAll(object), QByteArray("stale"));
        w->frame()->close();
    }

    // Played straight from the grid, a No sends the chip nothing.
    chipsim::Chip *chip = attachChip();
    auto *score = qobject_cast<frmMusic *>(NewDocument(vx::WindowKind::Music));
    score->vbalGrid1->setRows(rowsOf({QStringLiteral("v1qc4 \u017c")}));
    chip->clearLogs();
    prompts.queue(vx::Answer::No);
    PlayMusicScore();
    EXPECT_TRUE(prompts.last().text.endsWith(lost + QStringLiteral("Play anyway?")));
    EXPECT_TRUE(chip->acceptedBytes().isEmpty());
    EXPECT_TRUE(tempFiles().isEmpty());
    score->frame()->close();

    // The rule check: silent, such a rule fails; asked, No fails it and Yes
    // checks it as it will compile. The word entry's Add asks the same.
    auto *dic = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    EXPECT_FALSE(CheckDictionaryRule(QStringLiteral("(\u017c)=EY"), true));
    EXPECT_TRUE(CheckDictionaryRule(QStringLiteral(";\u017c"), true));
    for (const vx::Answer a : {vx::Answer::No, vx::Answer::Yes}) {
        const auto asked = prompts.prompts().size();
        dic->txtWord->setText(QStringLiteral("\u017c"));
        dic->txtSoundsLike->setText(QStringLiteral("<EY>"));
        prompts.queue(a);
        dic->cmdAdd_Click();
        ASSERT_EQ(prompts.prompts().size(), asked + 1);
        EXPECT_TRUE(prompts.last().text.endsWith(lost + QStringLiteral("Compile anyway?")));
        const GridRow &row = dic->vbalGrid1->rows().row(dic->vbalGrid1->SelectedRow());
        EXPECT_EQ(row.text, QStringLiteral("(\u017c)=EY"));
        EXPECT_EQ(row.foreColor == kBadRuleFore, a == vx::Answer::No);
    }
    EXPECT_TRUE(ruleMessages.isEmpty());
}
