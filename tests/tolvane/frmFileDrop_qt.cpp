// The file-drop queue against the in-process chip: rows, statuses, colours
// and icons, cancel, and the prompts after a failure.
#include "Support.h"

#include "tolvane/TaskQueue.h"
#include "tolvane/ui/frmFileDrop.h"
#include "tolvane/ui/frmMain.h"

#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
#include "tests/support/Bytes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

using namespace tolvtest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 170, 0);

class FileDrop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chip = freshStart(1);
        main = std::make_unique<frmMain>();
        main->cTolv->setReplyTimeout(5.0);
        tolv::readSettings();
        G.WindowTitle = tolv::windowTitle();
        chip->clearLogs();
    }
    void TearDown() override
    {
        drop.reset();
        main.reset();
        vx::Clock::setSpeed(1);
    }
    // Whether every file went in.
    bool run(const QStringList &paths)
    {
        drop.reset(); // one drop window at a time receives the link's events
        drop = std::make_unique<frmFileDrop>(main.get(), tolv::BuildQueue(paths));
        drop->show();
        return drop->DoFileDrops();
    }
    QTreeWidgetItem *row(int i) const { return drop->lvwFileList->topLevelItem(i - 1); }
    QString status(int i) const { return row(i)->text(2); }
    int icon(int i) const { return row(i)->data(0, Qt::UserRole).toInt(); }

    vx::ScriptedPrompter prompts;
    chipsim::Chip *chip = nullptr;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmFileDrop> drop;
};

} // namespace

TEST_F(FileDrop, SendsTheFilesItTakesAndMarksTheOthers)
{
    const QByteArray x = vxtest::kDictionaryHead + QByteArray(3000, 'x'), y = markedPcm(1, 2000, 'y');
    QDir().mkpath(QString::fromStdString(vxtest::freshDir("a b")));
    const QString quoted = QString::fromStdString(vxtest::freshDir("a b")) + QStringLiteral("/x.dix");
    {
        QFile f(quoted);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(x);
    }
    const QString upper = writeFile(QStringLiteral("y.PCM"), y);
    QStringList seen;
    QObject::connect(main->cTolv, &cTolvane::ChipStatus, main.get(), [&](int) { seen << status(G.QueueRow); });

    EXPECT_FALSE(run({quoted, upper, QStringLiteral("z.txt")})) << "a file given was skipped";
    ASSERT_EQ(drop->lvwFileList->topLevelItemCount(), 3);
    EXPECT_EQ(row(1)->text(0), QStringLiteral(" X.dix"));
    EXPECT_EQ(row(2)->text(0), QStringLiteral(" Y.pcm"));
    EXPECT_EQ(row(3)->text(0), QStringLiteral(" Z.txt"));
    EXPECT_EQ(seen, QStringList({QStringLiteral("Downloading..."), QStringLiteral("Downloading...")}));
    for (int i : {1, 2}) {
        EXPECT_EQ(status(i), QStringLiteral("Complete"));
        EXPECT_EQ(row(i)->text(1), QStringLiteral("100%"));
        EXPECT_EQ(row(i)->foreground(2).color(), kGreen);
        EXPECT_EQ(icon(i), int(tolv::RowIcon::Complete));
    }
    EXPECT_EQ(status(3), QStringLiteral("ERROR: Invalid file format"));
    QCoreApplication::processEvents();
    EXPECT_EQ(drop->lvwFileList->horizontalScrollBar()->maximum(), 0) << "at the opening size, read without scrolling";
    EXPECT_EQ(row(3)->foreground(2).color(), kRed);
    EXPECT_EQ(icon(3), int(tolv::RowIcon::Failed));
    EXPECT_EQ(chip->downloadCount(), 2);
    EXPECT_EQ(chip->lastDownload(), y);
    EXPECT_TRUE(prompts.prompts().isEmpty());
    // The chip hears the end of the session after the queue, and the port is closed.
    EXPECT_TRUE(chip->acceptedBytes().endsWith(QByteArray("\r\x01" "7h\0", 5)));
    EXPECT_FALSE(G.Comm->PortOpen());
    EXPECT_FALSE(G.FileDropMode);
    EXPECT_FALSE(G.Busy);

    // A name that shows no kind: the file's first bytes do.
    EXPECT_TRUE(run({quoted, upper, writeFile(QStringLiteral("words.obj"), x)})) << "every file went in";
    EXPECT_EQ(chip->downloadCount(), 5);
    EXPECT_EQ(chip->dictionary(), x);
}

TEST_F(FileDrop, CancelStopsAfterTheCurrentFile)
{
    const QString a = writeFile(QStringLiteral("a.dix"), vxtest::kDictionaryHead + QByteArray(6000, 'a'));
    const QString b = writeFile(QStringLiteral("b.dix"), vxtest::kDictionaryHead + QByteArray(600, 'b'));
    QObject::connect(main->cTolv, &cTolvane::PercentDone, main.get(), [&](int percent, bool &) {
        if (percent >= 20 && !G.CancelRequested)
            drop->cmdCancel->click();
    });
    EXPECT_FALSE(run({a, b, b}));
    EXPECT_TRUE(drop->picCancelAck->isVisible());
    // The notice reads clean over the port display: none of its blue shows through.
    const QRect notice = drop->picCancelAck->geometry();
    ASSERT_TRUE(notice.intersects(drop->lblComInfo[1]->geometry()));
    const QImage shown = drop->grab().toImage();
    int blue = 0;
    for (int y = notice.top(); y <= notice.bottom(); ++y)
        for (int x = notice.left(); x <= notice.right(); ++x)
            blue += shown.pixelColor(x, y).blue() > shown.pixelColor(x, y).red() + 60;
    EXPECT_EQ(blue, 0);
    EXPECT_NE(status(1), QStringLiteral("Complete"));
    EXPECT_EQ(icon(1), int(tolv::RowIcon::Failed));
    EXPECT_EQ(status(2), QStringLiteral("Queued"));
    EXPECT_EQ(status(3), QStringLiteral("Queued"));
    EXPECT_EQ(chip->downloadCount(), 0);
    EXPECT_FALSE(G.Comm->PortOpen());

    // At a larger desktop font the notice still reads to its end.
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSizeF(usual.pointSizeF() * 1.5);
    QApplication::setFont(large);
    drop.reset();
    drop = std::make_unique<frmFileDrop>(main.get(), tolv::BuildQueue({}));
    const QLabel *ack = drop->lblCancelAck;
    EXPECT_GE(ack->height(), ack->heightForWidth(ack->width()));
    EXPECT_GE(drop->picCancelAck->height(), ack->height());
    EXPECT_LE(drop->picCancelAck->geometry().bottom(), drop->height());
    QApplication::setFont(usual);
}

TEST_F(FileDrop, FailuresAskWhetherToGoOn)
{
    const QString a = writeFile(QStringLiteral("a.sfx"), vxtest::kSoundLibraryHead + QByteArray(2000, 'a'));
    chip->faults().failTransferAtPercent = 50;

    // A failure on an earlier row asks; No leaves the rest queued.
    prompts.queue(vx::Answer::No);
    EXPECT_FALSE(run({a, a, a}));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::YesNo);
    EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
    EXPECT_EQ(prompts.last().text, QStringLiteral("ERROR: The transfer to the chip failed.\r\nDownload remaining files?"));
    EXPECT_TRUE(status(1).startsWith(QStringLiteral("ERROR: ")));
    EXPECT_EQ(row(1)->foreground(2).color(), kRed);
    EXPECT_EQ(status(2), QStringLiteral("Queued"));
    EXPECT_EQ(status(3), QStringLiteral("Queued"));

    // On the last row only OK. A library the chip finds damaged once it has
    // it all is not shown as sent whole.
    chip->faults().failTransferAtPercent = -1;
    prompts.clear();
    prompts.queue(vx::Answer::Ok);
    EXPECT_FALSE(run({QStringLiteral("nothing.txt"), a}));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::Ok);
    EXPECT_EQ(prompts.last().text, QStringLiteral("ERROR: The sound library is damaged (length or check sum)."));
    EXPECT_EQ(row(2)->text(1), QStringLiteral("99%"));

    // A port that cannot be opened ends the queue without a prompt.
    prompts.clear();
    qputenv("VOXMERE_COM1", "/nonexistent/tty");
    EXPECT_FALSE(run({a, a}));
    qputenv("VOXMERE_COM1", "sim");
    EXPECT_TRUE(status(1).startsWith(QStringLiteral("ERROR: ")));
    EXPECT_EQ(status(2), QStringLiteral("Queued"));
    EXPECT_TRUE(prompts.prompts().isEmpty());

    // A library larger than the chip's recording memory: refused before a
    // byte of it goes out.
    chip->clearLogs();
    prompts.queue(vx::Answer::Ok);
    const qint32 recMem = chip->config().recMemBytes;
    const QByteArray big = vxtest::kSoundLibraryHead + QByteArray(recMem, 's');
    EXPECT_FALSE(run({writeFile(QStringLiteral("big.sfx"), big)}));
    EXPECT_EQ(status(1), QStringLiteral("ERROR: The file big.sfx is %1 bytes long; the chip takes at most %2 bytes.")
                             .arg(big.size())
                             .arg(recMem));
    EXPECT_EQ(row(1)->toolTip(2), status(1)) << "a reason wider than its column reads whole";
    EXPECT_FALSE(chip->acceptedBytes().contains("\x01" "31?"));
}

// A wave whose name merely ends in "pcm", and a chip PCM file for the SV3410,
// which stores none: their rows fail and the queue does not end as sent.
TEST_F(FileDrop, WhatTheChipWouldNotKeepFailsItsRow)
{
    chip->setConfig(chipsim::ChipConfig::forModel(QStringLiteral("SV3410")));
    prompts.queue(vx::Answer::Ok);
    EXPECT_FALSE(run({writeFile(QStringLiteral("tone.xpcm"), QByteArray("RIFF") + QByteArray(100, 'w')),
                      writeFile(QStringLiteral("t42.pcm"), markedPcm(42, 2000, 'p'))}));
    EXPECT_EQ(status(1), QStringLiteral("ERROR: Invalid file format"));
    EXPECT_TRUE(status(2).startsWith(QStringLiteral("ERROR: The file t42.pcm cannot be stored in the SV3410")))
        << status(2).toStdString();
    EXPECT_EQ(icon(2), int(tolv::RowIcon::Failed));
    EXPECT_TRUE(chip->recFiles().isEmpty());
    EXPECT_EQ(chip->downloadCount(), 0);
}

TEST_F(FileDrop, TheFirmwareWarningOpensOverTheQueue)
{
    ConfirmAnswerer cancel(ConfirmAnswerer::Cancel);
    drop = std::make_unique<frmFileDrop>(
        main.get(), tolv::BuildQueue({writeFile(QStringLiteral("m.bin"), chipsim::makeFirmwareImage(1, 0x0305))}));
    drop->move(300, 200);
    drop->show();
    EXPECT_FALSE(drop->DoFileDrops());
    ASSERT_EQ(cancel.seen, 1);
    EXPECT_EQ(cancel.over, drop.get());
    const QPoint off = cancel.where.center() - drop->frameGeometry().center();
    EXPECT_LE(off.manhattanLength(), 4) << off.x() << "," << off.y(); // halves rounded
    EXPECT_EQ(status(1), QStringLiteral("Canceled"));
    EXPECT_EQ(chip->firmwareWrites(), 0);
}

TEST_F(FileDrop, AFailureReadsWholeOverTheDropWindow)
{
    // The program's own prompter, parented to the main window that stays hidden.
    vx::QtPrompter qtPrompter(main.get());
    vx::Prompter *scripted = vx::setPrompter(&qtPrompter);
    QWidget *over = nullptr;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            over = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start();
    run({writeFile(QStringLiteral("empty.dix"), {})});
    answer.stop();
    vx::setPrompter(scripted);
    EXPECT_EQ(status(1), QStringLiteral("ERROR: The file empty.dix is empty."));
    EXPECT_GE(drop->lvwFileList->header()->sectionSize(2), drop->lvwFileList->fontMetrics().horizontalAdvance(status(1)))
        << "the status column shows the whole reason";
    EXPECT_EQ(over, drop.get());
    EXPECT_EQ(qtPrompter.parent(), main.get()) << "the main window's again after the queue";
}
