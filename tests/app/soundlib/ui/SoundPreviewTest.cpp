// Preview of sounds: on the emulated chip through the real converter, and on
// the PC through a stand-in player that the Stop button ends.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/ui/SoundPreview.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "components/sonvert/cSonvert.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace soundtest;

namespace {

// Plays "for ever" and presses the toolbar's Stop at its third poll.
class StoppedPlayer : public PreviewPlayer
{
public:
    explicit StoppedPlayer(frmMDI *main) : mMain(main) {}
    bool open(const QString &path, QString *) override
    {
        opened << path;
        existed = QFileInfo::exists(path);
        return true;
    }
    bool isPlaying() const override
    {
        if (++polls == 3) {
            faceWhilePlaying = ToolbarButton(QStringLiteral("Play"))->toolTip();
            mMain->tbStdLarge_ButtonClick(ToolbarButton(QStringLiteral("Play")));
        }
        return true;
    }
    void close() override { ++closed; }

    QStringList opened;
    bool existed = false;
    mutable int polls = 0;
    mutable QString faceWhilePlaying;
    int closed = 0;

private:
    frmMDI *mMain;
};

class Preview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        main = std::make_unique<frmMDI>();
        MainToolbar = main->tbStdLarge;
        DocState.resize(2);
        RegisterSoundLibDocuments();
        qputenv("VOXMERE_COM8", "sim");
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(8);
        Comm = link.GetCommObject();
        Comm->setCommPort(8);
        Comm->setSettings(QStringLiteral("9600,N,8,1"));
        Comm->setDTREnable(true);
        Comm->setPortOpen(true);
        Port = 8;
        dir = QString::fromStdString(vxtest::freshDir("preview")) + QLatin1Char('/');
        TempFolder = QString::fromStdString(vxtest::freshDir("temp")) + QLatin1Char('/');
        cSonv = new cSonvert;
        cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
        cSonv->setProgressClock([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
        cSonv->setPercentDone([this](int percent, bool &cancel) {
            if (cancelAtReport)
                frmProgress::instance()->cmdCancel->click();
            main->cSonv_PercentDone(percent, cancel);
        });
        writeFile(dir + QStringLiteral("take one.wav"), wave(1, 11025, 8, 3000));
        writeFile(dir + QStringLiteral("take.pcm"), plainPcm(99, QByteArray(400, '\x80')));
        writeFile(dir + QStringLiteral("junk.wav"), QByteArray("RIFF?"));
    }
    void TearDown() override
    {
        setPreviewPlayer(nullptr);
        delete cSonv;
        cSonv = nullptr;
        frmProgress::Unload();
        ResetDocuments();
        Comm->setPortOpen(false);
        Comm = nullptr;
        main.reset();
        ResetGlobals();
    }
    void expectIdle()
    {
        EXPECT_FALSE(Busy);
        EXPECT_FALSE(Playing);
        EXPECT_FALSE(StopRequested);
        EXPECT_EQ(main->sbStatusBar->PanelText(1), QStringLiteral("For Help, press F1"));
        EXPECT_TRUE(QDir(TempFolder).entryList(QDir::Files).isEmpty());
    }

    vx::ScriptedPrompter prompts;
    std::unique_ptr<frmMDI> main;
    cTolvane link;
    chipsim::Chip *chip = nullptr;
    QString dir;
    bool cancelAtReport = false;
};

} // namespace

TEST_F(Preview, LibraryRowPlaysOnTheChipInTheEmulatedForm)
{
    AudioPlayer = 0;
    SV10Emulation = true;
    main->RunCommand(QStringLiteral("mnuFileNewSoundLib"));
    auto *w = qobject_cast<frmSoundLib *>(ActiveDocument());
    ASSERT_NE(w, nullptr);
    w->AddFilesToSoundLibrary({dir + QStringLiteral("take one.wav"), QString()});
    ASSERT_EQ(w->rows().size(), 1);
    w->rows()[0].entry.Compress = true;
    w->selectOnly(0);

    // Converted in the older form, then compressed, then streamed.
    chip->clearLogs();
    main->tbStdLarge_ButtonClick(ToolbarButton(QStringLiteral("Play")));
    ASSERT_EQ(chip->pcmPlays().size(), 1);
    EXPECT_TRUE(chip->pcmPlays()[0].compressed);
    EXPECT_TRUE(chip->pcmPlays()[0].header.isEmpty()); // no marked header: the older chip's form
    EXPECT_FALSE(chip->pcmPlays()[0].data.isEmpty());
    EXPECT_FALSE(SV10DataFiles);
    EXPECT_TRUE(w->isEnabled());
    expectIdle();

    // Cancelled in the progress dialog: nothing plays, nothing is said, and
    // the data-file setting is back.
    chip->clearLogs();
    cancelAtReport = true;
    PlaySoundFile(dir + QStringLiteral("take one.wav"), false, 2, true);
    EXPECT_TRUE(chip->pcmPlays().isEmpty());
    EXPECT_FALSE(SV10DataFiles);
    EXPECT_TRUE(prompts.prompts().isEmpty());
    expectIdle();
    cancelAtReport = false;

    // An already compressed file plays unchanged with the flag off.
    writeFile(dir + QStringLiteral("packed.pcm"), plainPcm(0x80 | 99, QByteArray(40, '\x11')));
    PlaySoundFile(dir + QStringLiteral("packed.pcm"), false, 0, false);
    ASSERT_EQ(chip->pcmPlays().size(), 1);
    EXPECT_EQ(chip->pcmPlays()[0].data, QByteArray(40, '\x11'));

    // A moved file and a file that is no sound.
    QFile::remove(dir + QStringLiteral("take one.wav"));
    prompts.queue(vx::Answer::Ok);
    main->tbStdLarge_ButtonClick(ToolbarButton(QStringLiteral("Play")));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Cannot open ") + dir + QStringLiteral("take one.wav; file not found. "));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Critical);
    prompts.queue(vx::Answer::Ok);
    PlaySoundFile(dir + QStringLiteral("junk.wav"), false, 0, false);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Error 202: Invalid or corrupt sound file "));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
    expectIdle();
}

TEST_F(Preview, PcPreviewConvertsChipPcmAndEndsOnStop)
{
    AudioPlayer = 1;
    StoppedPlayer player(main.get());
    setPreviewPlayer(&player);

    // File > Play of a chip PCM file: a wave in the temporary folder plays
    // until Stop, then the buttons are Play and Record again.
    prompts.queueFiles({dir + QStringLiteral("take.pcm")});
    main->RunCommand(QStringLiteral("mnuFilePlay"));
    ASSERT_EQ(player.opened.size(), 1);
    EXPECT_EQ(player.opened[0], TempFolder + QStringLiteral("take.wav"));
    EXPECT_TRUE(player.existed);
    EXPECT_EQ(player.faceWhilePlaying, QStringLiteral("Stop"));
    EXPECT_EQ(player.polls, 3);
    EXPECT_EQ(player.closed, 1);
    EXPECT_EQ(ButtonImage(ToolbarButton(QStringLiteral("Play"))), QStringLiteral("Play"));
    EXPECT_EQ(ButtonImage(ToolbarButton(QStringLiteral("Record"))), QStringLiteral("Record"));
    expectIdle();

    // A wave opened by type plays as it is, blanks in its path and all.
    player.polls = 0;
    OpenFileByType(dir + QStringLiteral("take one.wav"));
    ASSERT_EQ(player.opened.size(), 2);
    EXPECT_EQ(player.opened[1], dir + QStringLiteral("take one.wav"));
    expectIdle();

    // A score plays only with a chip; other files are refused by name.
    Port = 0;
    prompts.queueFiles({dir + QStringLiteral("tune.tgx")});
    main->RunCommand(QStringLiteral("mnuFilePlay"));
    prompts.queueFiles({dir + QStringLiteral("notes.TXT")});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(QStringLiteral("mnuFilePlay"));
    EXPECT_EQ(prompts.last().text, dir + QStringLiteral("notes.TXT is not a supported format. "));
    EXPECT_EQ(player.opened.size(), 2);
}
