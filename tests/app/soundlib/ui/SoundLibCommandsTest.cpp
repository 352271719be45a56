// The sound library window's commands: adding by dialog, refresh and
// relocation, the outside editor, header sorting and the settings boxes.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "platform/Prompter.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/app/soundlib/ui/SoundLibFixture.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QDeadlineTimer>
#include <QDir>
#include <QFocusEvent>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

class SoundLibCommands : public SoundLibFixture
{
protected:
    void SetUp() override
    {
        SoundLibFixture::SetUp();
        dir = QString::fromStdString(vxtest::freshDir("commands")) + QLatin1Char('/');
    }

    QStringList names() const
    {
        QStringList n;
        for (const SoundRow &r : std::as_const(w->rows()))
            n << r.entry.FileName;
        return n;
    }
    QStringList arrows() const
    {
        QStringList a;
        for (int c = 0; c < kSoundColumnCount; ++c)
            a << QString::number(w->model->headerArrow(c));
        return a;
    }
    void selectRows(std::initializer_list<int> rowsToSelect)
    {
        QItemSelectionModel *sm = w->lvwReport->selectionModel();
        sm->clearSelection();
        for (int r : rowsToSelect)
            sm->setCurrentIndex(w->model->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w->UpdateSoundLibTotals();
    }
    void enterTag(const QString &digits)
    {
        w->txtTag->clear();
        QTest::keyClicks(w->txtTag, digits);
        QTest::keyClick(w->txtTag, Qt::Key_Return);
    }
    QString cell(int row, int column) const
    {
        return w->model->data(w->model->index(row, column), Qt::DisplayRole).toString();
    }

    vx::ScriptedPrompter prompts;
    QString dir;
    frmSoundLib *w = nullptr;
};

TEST_F(SoundLibCommands, AddSortSettingsRefreshEditAndFullLibrary)
{
    DfltPCMEnc = false;
    NewSoundLibDocument();
    w = qobject_cast<frmSoundLib *>(DocumentAt(2));
    ASSERT_NE(w, nullptr);
    w->setReportView(true);
    writeFile(dir + QStringLiteral("zeta.wav"), wave(1, 11025, 8, 4000));
    writeFile(dir + QStringLiteral("my sound.WAV"), wave(1, 11025, 8, 2000));
    writeFile(dir + QStringLiteral("beta.pcm"), plainPcm(227, QByteArray(500, '\x80'))); // compressed chip PCM

    // One file, then two more below it: the dialog's answer, in order.
    prompts.queueFiles({dir + QStringLiteral("zeta.wav")});
    AddSoundFiles();
    EXPECT_EQ(prompts.last().title, QStringLiteral("Add Sound Files"));
    EXPECT_TRUE(prompts.last().multiSelect);
    prompts.queueFiles({dir + QStringLiteral("my sound.WAV"), dir + QStringLiteral("beta.pcm")});
    w->EditCommand(EditAction::InsertAdd);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("zeta.wav"), QStringLiteral("my sound.WAV"),
                                    QStringLiteral("beta.pcm")}));
    EXPECT_EQ(w->currentRow(), 2);
    EXPECT_EQ(DroppedFiles, QStringList{QString()});
    prompts.queueCancel();
    AddSoundFiles();
    EXPECT_EQ(w->rows().size(), 3);

    // Header clicks: the first sorts descending, the next ascending; one arrow.
    w->record().Dirty = false;
    emit w->lvwReport->header()->sectionClicked(colFile);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("zeta.wav"), QStringLiteral("my sound.WAV"),
                                    QStringLiteral("beta.pcm")}));
    EXPECT_EQ(arrows(), QStringLiteral("2 0 0 0 0 0").split(u' '));
    EXPECT_TRUE(w->record().Dirty);
    emit w->lvwReport->header()->sectionClicked(colMemUsed);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("beta.pcm"), QStringLiteral("my sound.WAV"),
                                    QStringLiteral("zeta.wav")}));
    EXPECT_EQ(cell(0, colFile), QStringLiteral("Beta")); // cells move with their records
    EXPECT_EQ(arrows(), QStringLiteral("0 0 1 0 0 0").split(u' '));

    // One row: "007" is kept as typed; 65535 and a tag held elsewhere are refused.
    selectRows({1});
    enterTag(QStringLiteral("0a07"));
    EXPECT_EQ(w->rows()[1].entry.Tag, 7);
    EXPECT_EQ(cell(1, colTag), QStringLiteral("007"));
    prompts.queue(vx::Answer::Ok);
    enterTag(QStringLiteral("65535"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Tag value out of range. Valid range is 0-65534.  "));
    EXPECT_EQ(w->txtTag->text(), QStringLiteral("7"));
    selectRows({0});
    prompts.queue(vx::Answer::Ok);
    enterTag(QStringLiteral("7"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Duplicate tag in library (my sound.WAV).  "));
    EXPECT_EQ(w->rows()[0].entry.Tag, 0);

    // Numbering a selection stops at the range's end; Esc restores the stored tag.
    selectRows({0, 1, 2});
    prompts.queue(vx::Answer::Ok);
    enterTag(QStringLiteral("65533"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Numbering halted; tag value out of range. Valid range is 0-65534.  "));
    EXPECT_EQ(w->rows()[0].entry.Tag, 65533);
    EXPECT_EQ(w->rows()[1].entry.Tag, 65534);
    EXPECT_EQ(w->rows()[2].entry.Tag, 0);
    QTest::keyClicks(w->txtTag, QStringLiteral("12"));
    QTest::keyClick(w->txtTag, Qt::Key_Escape);
    EXPECT_EQ(w->txtTag->text(), QString::number(w->rows()[w->currentRow()].entry.Tag));
    // Left by Tab without Enter, either box shows what the row holds again.
    for (QLineEdit *box : {w->txtTag, w->txtGate}) {
        box->setText(QStringLiteral("9"));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
        EXPECT_EQ(box->text(), QStringLiteral("0")) << box->objectName().toStdString();
    }

    // Comp and Boost over a mixed selection: grey, and a click makes them checked.
    w->rows()[2].entry.Boost = true;
    emit w->lvwReport->header()->sectionClicked(colComp);
    selectRows({0, 2, 1}); // the current row is a wave file
    ASSERT_NE(w->rows()[w->currentRow()].entry.Kind, sfkCompressedPcm);
    EXPECT_EQ(w->chkBoost->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(w->chkCompress->checkState(), Qt::Unchecked);
    w->chkCompress->click(); // unchecked -> checked, never grey
    for (const SoundRow &r : std::as_const(w->rows())) {
        EXPECT_EQ(r.entry.Compress, r.entry.Kind != sfkCompressedPcm) << r.entry.FileName.toStdString();
        EXPECT_EQ(r.item.cells[colComp], QStringLiteral("\u2022"));
    }
    EXPECT_EQ(arrows(), QStringLiteral("0 0 0 0 0 0").split(u' '));
    w->chkBoost->click(); // grey -> checked
    for (const SoundRow &r : std::as_const(w->rows()))
        EXPECT_EQ(r.entry.Boost, r.entry.Kind == sfkWave) << r.entry.FileName.toStdString();
    // With a chip PCM row current, Boost is off and unchecked: Comp leaves
    // the wave rows' Boost as it is.
    const int pcm = static_cast<int>(names().indexOf(QStringLiteral("beta.pcm")));
    w->rows()[pcm].entry.Kind = sfkPcm;
    selectRows({pcm == 0 ? 1 : 0, pcm});
    ASSERT_FALSE(w->chkBoost->isEnabled());
    w->chkCompress->click();
    for (const SoundRow &r : std::as_const(w->rows()))
        EXPECT_EQ(r.entry.Boost, r.entry.Kind == sfkWave) << r.entry.FileName.toStdString();
    w->rows()[pcm].entry.Kind = sfkCompressedPcm;
    w->rows()[pcm].entry.Compress = false;

    // Refresh: a moved file is painted and kept; No leaves it so.
    const QString f1 = QString::fromStdString(vxtest::freshDir("f1")) + QLatin1Char('/');
    const QString f2 = QString::fromStdString(vxtest::freshDir("f2")) + QLatin1Char('/');
    ASSERT_TRUE(QFile::rename(dir + QStringLiteral("zeta.wav"), f1 + QStringLiteral("zeta.wav")));
    ASSERT_TRUE(QFile::rename(dir + QStringLiteral("beta.pcm"), f2 + QStringLiteral("beta.pcm")));
    prompts.clear();
    prompts.queue(vx::Answer::No);
    w->btnRefresh->trigger();
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Missing Sound Files"));
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::YesNo);
    int red = 0;
    for (int r = 0; r < 3; ++r) {
        if (w->model->data(w->model->index(r, colLocation), Qt::ForegroundRole) == QVariant(QColor(255, 64, 64))) {
            ++red;
            EXPECT_EQ(w->rows()[r].entry.Kind, sfkNotSound);
            EXPECT_NE(w->rows()[r].entry.Tag + int(w->rows()[r].entry.Compress), 0); // settings kept
        }
    }
    EXPECT_EQ(red, 2);

    // Yes, and the browser cancelled: 0 updated. Then two folders in two passes.
    prompts.clear();
    prompts.queue(vx::Answer::Yes);
    prompts.queueCancel();
    prompts.queue(vx::Answer::Ok);
    w->btnRefresh->trigger();
    EXPECT_EQ(prompts.last().text, QStringLiteral("0 files were updated in the library.  "));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Information);
    prompts.clear();
    for (const QString &folder : {f1, f2}) {
        prompts.queue(vx::Answer::Yes);
        prompts.queueFiles({folder});
        prompts.queue(vx::Answer::Ok);
    }
    w->btnRefresh->trigger();
    ASSERT_EQ(prompts.prompts().size(), 6);
    EXPECT_EQ(prompts.prompts()[1].kind, vx::PromptKind::Folder);
    EXPECT_EQ(prompts.prompts()[2].text, QStringLiteral("1 files were updated in the library.  "));
    EXPECT_EQ(prompts.prompts()[5].text, QStringLiteral("1 files were updated in the library.  "));
    for (int r = 0; r < 3; ++r) {
        EXPECT_FALSE(w->rows()[r].item.missing);
        EXPECT_NE(w->rows()[r].entry.Kind, sfkNotSound);
    }
    EXPECT_TRUE(names().contains(QStringLiteral("my sound.WAV"))); // found again where case matters

    // The editor: missing, then a program that writes down what it was given.
    selectRows({int(names().indexOf(QStringLiteral("my sound.WAV")))});
    AudioEditor = dir + QStringLiteral("no editor");
    prompts.clear();
    prompts.queue(vx::Answer::Ok);
    w->EditCommand(EditAction::Edit);
    EXPECT_EQ(prompts.last().text,
              QStringLiteral("The waveform editor specified in Sound Library Preferences could not be found. "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Error"));
    EXPECT_EQ(prompts.last().helpTopic, 292);
    const QString out = dir + QStringLiteral("editor.out");
    AudioEditor = dir + QStringLiteral("edit sound");
    writeFile(AudioEditor, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" '" + out.toUtf8() + "'\n");
    QFile(AudioEditor).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EditSoundFileExternally();
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(out) && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_EQ(QString::fromUtf8(readFile(out)), QStringLiteral("1|") + dir + QStringLiteral("my sound.WAV"));

    // A library holds 5000 sounds: the rest are refused with a message.
    SoundRows &rows = w->rows();
    while (rows.size() < SoundLibTable::kMaxRows - 1)
        rows.append(rows.front());
    for (SoundRow &r : rows)
        r.entry.Tag = 0;
    w->model->reload();
    w->selectOnly(0);
    prompts.clear();
    prompts.queueFiles({dir + QStringLiteral("my sound.WAV"), dir + QStringLiteral("my sound.WAV")});
    prompts.queue(vx::Answer::Ok);
    AddSoundFiles();
    EXPECT_EQ(rows.size(), SoundLibTable::kMaxRows);
    EXPECT_EQ(prompts.last().text, QStringLiteral("The sound library is full (5000 sounds)."));
}

} // namespace
