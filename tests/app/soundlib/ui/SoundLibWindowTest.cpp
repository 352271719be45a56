#include "app/Globals.h"
#include "app/documents/SoundLibFile.h"
#include "app/documents/ui/Documents.h"
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "bench/soundlib/SoundSet.h"
#include "platform/Prompter.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/app/soundlib/ui/SoundLibFixture.h"
#include "tests/support/TestEnv.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QProgressBar>
#include <QTest>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <QUrl>

#include <limits>

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

class SoundLibWindow : public SoundLibFixture
{
protected:
    void SetUp() override
    {
        SoundLibFixture::SetUp();
        dir = QString::fromStdString(vxtest::freshDir(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }

    static frmSoundLib *lib(int slot) { return qobject_cast<frmSoundLib *>(DocumentAt(slot)); }
    static QStringList names(frmSoundLib *w)
    {
        QStringList n;
        for (const SoundRow &r : std::as_const(w->rows()))
            n << r.entry.FileName;
        return n;
    }
    static void drop(frmSoundLib *w, const QList<QUrl> &urls)
    {
        QMimeData md;
        md.setUrls(urls);
        QWidget *vp = w->lvwReport->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &md, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &enter);
        QDropEvent ev(QPointF(5, 5), Qt::CopyAction, &md, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &ev);
        EXPECT_TRUE(enter.isAccepted() && ev.isAccepted());
    }

    vx::ScriptedPrompter prompts;
    QString dir;
};

// True when a label shows its whole text: inside its parent, and on one line
// or wrapped within its height when it wraps.
bool showsWhole(const QLabel *l)
{
    const QRect room = l->contentsRect();
    const int flags = (l->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine) | int(l->alignment());
    return l->parentWidget()->rect().contains(l->geometry()) &&
        room.contains(l->fontMetrics().boundingRect(room, flags, l->text()));
}

} // namespace

TEST_F(SoundLibWindow, NewLibraryDropFolderPanelKeysAndMoves)
{
    AudioView = 1;
    NewSoundLibDocument();
    frmSoundLib *w = lib(2);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isReportView());
    EXPECT_EQ(w->lblMemFiles->text(), QStringLiteral("Files: 0"));
    EXPECT_EQ(w->lblMemSize->text(), QStringLiteral("Memory req'd (est): 0 KB"));
    EXPECT_DOUBLE_EQ(w->vbalMemUsed->property("Value").toDouble(), -1.3);
    EXPECT_EQ(w->vbalMemUsed->value(), 0);
    EXPECT_FALSE(w->btnRefresh->isEnabled());
    EXPECT_FALSE(w->picProperties->isEnabled());
    EXPECT_EQ(w->lblTag->toolTip(), w->txtTag->toolTip());
    EXPECT_TRUE(w->txtHelp->isVisible());

    // A folder: its sounds in name order, any letter case, none from sub-folders.
    QDir(dir).mkpath(QStringLiteral("snd/sub"));
    const QString f = dir + QStringLiteral("/snd/");
    writeFile(f + QStringLiteral("a.WAV"), wave(1, 11025, 8, 1263616));
    writeFile(f + QStringLiteral("B.wav"), wave(1, 11025, 8, 100, 2));
    writeFile(f + QStringLiteral("c.Pcm"), plainPcm(99, QByteArray(4000, '\x80')));
    writeFile(f + QStringLiteral("d.txt"), "text");
    writeFile(f + QStringLiteral("sub/e.wav"), wave(1, 11025, 8, 100));
    writeFile(dir + QStringLiteral("/tagged.pcm"), markedPcm(99, 7, QByteArray(100, '\x80')));
    writeFile(dir + QStringLiteral("/same tag.pcm"), markedPcm(99, 7, QByteArray(100, '\x80')));
    prompts.queue(vx::Answer::Ok);
    drop(w, {QUrl::fromLocalFile(f)});
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Unsupported Format"));
    EXPECT_EQ(prompts.last().text,
              QStringLiteral("B.wav will not be added to the library because it is not a supported sound format.\n"));
    EXPECT_EQ(names(w), (QStringList{QStringLiteral("a.WAV"), QStringLiteral("c.Pcm")}));
    EXPECT_EQ(w->currentRow(), 1);
    EXPECT_EQ(w->windowTitle().right(1), QStringLiteral("*"));
    EXPECT_EQ(w->lblMemFiles->text(), QStringLiteral("Files: 2"));
    EXPECT_FALSE(w->txtHelp->isVisible());
    EXPECT_TRUE(w->btnRefresh->isEnabled());
    EXPECT_EQ(w->model->data(w->model->index(0, colFile), Qt::DisplayRole).toString(), QStringLiteral("A"));

    // Dropped below the current row; a second file with a tag already held is refused.
    prompts.queue(vx::Answer::Ok);
    drop(w, {QUrl::fromLocalFile(dir + QStringLiteral("/tagged.pcm")),
             QUrl::fromLocalFile(dir + QStringLiteral("/same tag.pcm"))});
    EXPECT_EQ(prompts.last().title, QStringLiteral("Duplicate Tag"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Same Tag.pcm will not be added to the library because its tag "
                                                  "is a duplicate of Tagged.pcm. \n"));
    EXPECT_EQ(names(w), (QStringList{QStringLiteral("a.WAV"), QStringLiteral("c.Pcm"), QStringLiteral("tagged.pcm")}));

    // The panel follows the current row's kind.
    w->selectOnly(0);
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->picType->property("IconKey").toString(), QStringLiteral("Wave"));
    EXPECT_EQ(w->lblProperties->text(), QStringLiteral("Mono, 11.025 kHz, 8 bit, 1,234 KB"));
    EXPECT_EQ(w->lblIndex1->text(), QStringLiteral("0"));
    EXPECT_TRUE(w->txtGate->isEnabled());
    EXPECT_TRUE(w->chkBoost->isEnabled());
    w->selectOnly(1);
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->picType->property("IconKey").toString(), QStringLiteral("Pcm"));
    EXPECT_FALSE(w->txtGate->isEnabled());
    EXPECT_TRUE(w->chkCompress->isEnabled());
    EXPECT_EQ(w->chkBoost->checkState(), Qt::Unchecked);
    EXPECT_EQ(w->lblFile1->text(), QStringLiteral("c.Pcm"));

    // A digit on the number pad starts a new tag; the next digit goes after
    // it, also once the box's own focus handling has run.
    w->frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w->frame()));
    QTest::keyClick(w->lvwReport, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(w->txtTag->text(), QStringLiteral("7"));
    EXPECT_EQ(w->txtTag->cursorPosition(), 1);
    QApplication::processEvents();
    QTest::keyClick(w->txtTag, Qt::Key_2);
    QTest::keyClick(w->txtTag, Qt::Key_Return);
    EXPECT_EQ(w->rows()[1].entry.Tag, 72);

    // Rows dragged onto one of themselves stay; onto another row they go below it.
    w->selectOnly(0);
    w->MoveSelectedRowsTo(0);
    EXPECT_EQ(names(w).first(), QStringLiteral("a.WAV"));
    w->MoveSelectedRowsTo(2);
    EXPECT_EQ(names(w), (QStringList{QStringLiteral("c.Pcm"), QStringLiteral("tagged.pcm"), QStringLiteral("a.WAV")}));
    EXPECT_EQ(w->currentRow(), 2);

    // The list view shares the selection; the view is not stored.
    w->btnLView->trigger();
    EXPECT_FALSE(w->isReportView());
    EXPECT_EQ(w->lvwList->selectionModel()->currentIndex().row(), 2);

    // Cancel on the close question keeps the library.
    prompts.queue(vx::Answer::Cancel);
    EXPECT_FALSE(w->frame()->close());
    EXPECT_EQ(prompts.last().text, QStringLiteral("Do you want to save the changes you made to Untitled1?"));
    EXPECT_EQ(lib(2), w);

    // Saved and opened again: the same records, real case kept.
    const QString path = dir + QStringLiteral("/Lib.sfl");
    QString error;
    ASSERT_TRUE(w->SaveFile(path, &error)) << error.toStdString();
    w->record().Dirty = false;
    ASSERT_TRUE(w->frame()->close());
    frmSoundLib *again = qobject_cast<frmSoundLib *>(OpenDocument(vx::WindowKind::SoundLib, path));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(names(again), (QStringList{QStringLiteral("c.Pcm"), QStringLiteral("tagged.pcm"), QStringLiteral("a.WAV")}));
    EXPECT_EQ(again->rows()[1].entry.Tag, 7);
    EXPECT_FALSE(again->txtHelp->isVisible());
}

TEST_F(SoundLibWindow, BadFilesOpenNothingAndReusedSlotsStartEmpty)
{
    const QString tagged = dir + QStringLiteral("/t.sfl");
    SoundEntry e = GetSoundFileInfo(dir + QLatin1Char('/'), QStringLiteral("x.wav"), false);
    e.Kind = sfkWave;
    e.Tag = 9;
    e.Boost = true;
    ASSERT_TRUE(SaveSoundLibFile(tagged, {e}));
    ASSERT_NE(OpenDocument(vx::WindowKind::SoundLib, tagged), nullptr);
    EXPECT_EQ(lib(2)->rows().size(), 1);
    lib(2)->record().Dirty = false;
    ASSERT_TRUE(lib(2)->frame()->close());

    // A version 1 file in the same slot: no tag or boost left over.
    const QString v1 = dir + QStringLiteral("/v1.sfl");
    writeFile(v1, "\"KWLIB\"\r\n1\r\n1\r\n0\r\n1\r\n11025\r\n8\r\n100\r\n#FALSE#\r\n\"Y.wav\"\r\n\"/s/\"\r\n");
    ASSERT_NE(OpenDocument(vx::WindowKind::SoundLib, v1), nullptr);
    ASSERT_EQ(lib(2)->rows().size(), 1);
    EXPECT_EQ(lib(2)->rows()[0].entry.Tag, 0);
    EXPECT_FALSE(lib(2)->rows()[0].entry.Boost);
    EXPECT_EQ(lib(2)->rows()[0].entry.FileName, QStringLiteral("Y.wav"));
    lib(2)->frame()->close();

    // Each bad file: one message, no window.
    const struct {
        const char *name;
        QByteArray bytes;
    } bad[] = {
        {"count.sfl", "\"KWLIB\"\r\n4\r\n6000\r\n"},
        {"text.sfl", "\"KWLIB\"\r\n4\r\n1\r\nabc\r\n"},
        {"empty.sfl", ""},
        {"magic.sfl", "\"kwlib\"\r\n4\r\n0\r\n"},
    };
    for (const auto &b : bad) {
        const QString p = dir + QLatin1Char('/') + QLatin1String(b.name);
        writeFile(p, b.bytes);
        prompts.clear();
        prompts.queue(vx::Answer::Ok);
        EXPECT_EQ(OpenDocument(vx::WindowKind::SoundLib, p), nullptr) << b.name;
        EXPECT_EQ(prompts.prompts().size(), 1) << b.name;
        QApplication::processEvents();
        EXPECT_EQ(FindFirstDocumentSlot(), 0) << b.name;
    }
    // A valid first line before more than a library can hold: refused unread, named.
    const QString huge = dir + QStringLiteral("/huge.sfl");
    writeFile(huge, "\"KWLIB\"\r\n4\r\n0\r\n");
    ASSERT_TRUE(QFile::resize(huge, kMaxSoundLibFileBytes + 1));
    prompts.clear();
    prompts.queue(vx::Answer::Ok);
    EXPECT_EQ(OpenDocument(vx::WindowKind::SoundLib, huge), nullptr);
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_TRUE(prompts.last().text.endsWith(QStringLiteral("'huge.sfl' is larger than the list of a sound library "
                                                            "of 5000 sounds can be (117 MB at most), so it was not "
                                                            "read.")))
        << prompts.last().text.toStdString();
}

TEST_F(SoundLibWindow, TheBenchmarksSoundSetOpensWithEverySoundCounted)
{
    // Sounds of every kind, the library written after them: no row is missing.
    const QString path = benchsounds::writeLibrary(dir + QLatin1Char('/'), 8);
    ASSERT_FALSE(path.isEmpty());
    auto *w = qobject_cast<frmSoundLib *>(OpenDocument(vx::WindowKind::SoundLib, path));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->lblMemFiles->text(), QStringLiteral("Files: 8"));
}

TEST_F(SoundLibWindow, AtItsOpeningSizeTheLongestTextsShowWhole)
{
    NewSoundLibDocument();
    frmSoundLib *w = lib(2);
    ASSERT_NE(w, nullptr);
    // The largest total: a full library of sounds at the estimate's largest
    // value, a 32-bit byte count (2 GB of 8-bit mono samples at 8 kHz).
    SoundEntry big;
    big.Kind = sfkWave;
    big.Channels = 1;
    big.SampleRate = 8000;
    big.BitsPerSample = 8;
    big.DataBytes = std::numeric_limits<qint32>::max();
    big.Tag = 65534;
    big.MemUsed = EstimateMemoryKB(big);
    ASSERT_EQ(big.MemUsed, std::numeric_limits<qint32>::max());
    SoundRows &r = w->rows();
    for (int i = 0; i < SoundLibTable::kMaxRows; ++i)
        r.append(SoundRow{big, MakeListItem(big)});
    w->model->reload();
    w->selectOnly(0);
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->lblMemSize->text(), QStringLiteral("Memory req'd (est): 10,485,759,995 KB"));
    EXPECT_EQ(w->lblMemFiles->text(), QStringLiteral("Files: 5000"));
    // The widest properties line: an MP3 of as many bytes.
    SoundEntry &current = r[0].entry;
    current.Kind = sfkMp3;
    current.Channels = 2;
    current.SampleRate = 44100;
    current.BitsPerSample = 16;
    current.BitRate = 320000;
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->lblProperties->text(), QStringLiteral("Stereo, 44.100 kHz, 320 kbps, 2,097,152 KB"));
    // The widest memory figure of a row, compressed.
    current.Compress = true;
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->lblMemUsed1->text(), QStringLiteral("< 2,097,152 KB"));
    for (const QLabel *l : {w->lblProperties, w->lblMemSize, w->lblMemFiles, w->lblMemUsed1})
        EXPECT_TRUE(showsWhole(l)) << l->objectName().toStdString();
    // An ordinary stereo wave's line reads on one line.
    current = big;
    current.Channels = 2;
    current.SampleRate = 44100;
    current.BitsPerSample = 16;
    current.DataBytes = 10439680;
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->lblProperties->text(), QStringLiteral("Stereo, 44.100 kHz, 16 bit, 10,195 KB"));
    EXPECT_LE(w->lblProperties->fontMetrics().horizontalAdvance(w->lblProperties->text()),
              w->lblProperties->contentsRect().width());
    // The width the view itself gives a cell of "65534": the text and its margins.
    QStyleOptionViewItem cell;
    cell.widget = w->lvwReport;
    cell.font = w->lvwReport->font();
    cell.fontMetrics = w->lvwReport->fontMetrics();
    const QModelIndex tag = w->model->index(0, colTag);
    ASSERT_EQ(tag.data().toString(), QStringLiteral("65534"));
    EXPECT_GE(w->lvwReport->columnWidth(colTag), w->lvwReport->itemDelegate()->sizeHint(cell, tag).width());
    // And one of the largest memory figure.
    const QModelIndex mem = w->model->index(1, colMemUsed);
    ASSERT_EQ(mem.data().toString(), QStringLiteral("2,097,152 KB"));
    EXPECT_GE(w->lvwReport->columnWidth(colMemUsed), w->lvwReport->itemDelegate()->sizeHint(cell, mem).width());
}

TEST_F(SoundLibWindow, ThePrintedListingGivesEachSoundTheWindowsSize)
{
    NewSoundLibDocument();
    frmSoundLib *w = lib(2);
    ASSERT_NE(w, nullptr);
    SoundEntry mp3;
    mp3.Kind = sfkMp3;
    mp3.Channels = 2;
    mp3.SampleRate = 44100;
    mp3.BitsPerSample = 16;
    mp3.BitRate = 128000;
    mp3.DataBytes = 9600000;
    mp3.Compress = true;
    mp3.Tag = 12;
    mp3.FileName = QStringLiteral("Music.mp3");
    mp3.Location = QStringLiteral("/snd/");
    SoundEntry wav = mp3;
    wav.Kind = sfkWave;
    wav.BitRate = 0;
    wav.DataBytes = 1048576;
    wav.Compress = false;
    wav.Boost = true;
    wav.NoiseGate = 5;
    wav.Tag = 3;
    wav.FileName = QStringLiteral("Voice.wav");
    for (SoundEntry *e : {&mp3, &wav}) {
        e->MemUsed = EstimateMemoryKB(*e);
        w->rows().append(SoundRow{*e, MakeListItem(*e)});
    }
    w->model->reload();
    w->UpdateSoundLibTotals();
    EXPECT_EQ(w->model->index(0, colMemUsed).data().toString(), QStringLiteral("3,230 KB"));
    EXPECT_EQ(w->model->index(1, colMemUsed).data().toString(), QStringLiteral("64 KB"));

    const vx::Listing pages = w->Listing(60);
    ASSERT_EQ(pages.size(), 1u);
    const auto text = [](const vx::ListingLine &line) {
        QStringList cells;
        for (const vx::ListingCell &c : line.cells)
            cells << QString::number(c.column) + QLatin1Char(':') + c.text;
        return cells.join(QLatin1Char(' ')).toStdString();
    };
    const std::vector<vx::ListingLine> &lines = pages[0].lines;
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(text(lines[10]), "10:0 19:12 28:\u2022 42:0 48:3230K 56:Music.mp3 84:/snd/");
    EXPECT_EQ(text(lines[11]), "10:1 19:3 35:\u2022 42:5 48:64K 56:Voice.wav 84:/snd/");
    // The total on the first page is the sum of the rows.
    EXPECT_NE(text(lines[4]).find("60:Total files: 2 (3294 KB)"), std::string::npos) << text(lines[4]);
}
