// Utilities > Convert Sound File and sound preview with the real converter:
// wave to chip PCM and back, the ways a conversion ends, a library row played
// on the emulated chip, and a PC preview that the Stop button ends.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/SoundEntry.h"
#include "app/soundlib/ui/SoundPreview.h"
#include "app/soundlib/ui/frmPcmOptions.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "components/sonvert/cSonvert.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/FileNames.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/ui/Modal.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <random>

using namespace soundtest;

namespace {

QString s(const char *t)
{
    return QString::fromUtf8(t);
}

// Plays until Stop, which it presses on the toolbar at every third poll.
class StoppedPlayer : public PreviewPlayer
{
public:
    bool open(const QString &path, const QString &shownAs, QString *) override
    {
        opened << path;
        shown << shownAs;
        existed = QFileInfo::exists(path);
        return true;
    }
    bool isPlaying() const override
    {
        if (++polls % 3 == 0) {
            face = ToolbarButton(s("Play"))->toolTip();
            frmMDI::instance()->tbStdLarge_ButtonClick(ToolbarButton(s("Play")));
        }
        return true;
    }
    void close() override { ++closed; }

    QStringList opened, shown;
    bool existed = false;
    mutable int polls = 0;
    mutable QString face;
    int closed = 0;
};

class SoundCommands : public ::testing::Test
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
        Comm->setSettings(s("9600,N,8,1"));
        Comm->setDTREnable(true);
        Comm->setPortOpen(true);
        Port = 8;
        dir = QString::fromStdString(vxtest::freshDir("my.sounds")) + QLatin1Char('/');
        TempFolder = QString::fromStdString(vxtest::freshDir("temp")) + QLatin1Char('/');
        cSonv = new cSonvert;
        cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
        // Every report is due, so a Cancel is seen at the first one.
        cSonv->setProgressClock([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
        cSonv->setPercentDone([this](int percent, bool &cancel) {
            captions << frmProgress::instance()->windowTitle();
            if (cancelAtReport)
                frmProgress::instance()->cmdCancel->click();
            main->cSonv_PercentDone(percent, cancel);
        });
        writeFile(dir + s("Song.WAV"), wave(1, 22050, 16, 8000));
    }
    void TearDown() override
    {
        setPreviewPlayer(nullptr);
        delete cSonv;
        cSonv = nullptr;
        frmPcmOptions::Unload();
        ResetDocuments();
        Comm->setPortOpen(false);
        Comm = nullptr;
        main.reset();
        ResetGlobals();
    }

    // The open and save dialogs answered, then the closing message when one is due.
    void convert(const QString &source, const QString &output, bool message = true)
    {
        prompts.queueFiles({source});
        prompts.queueFiles({output});
        if (message)
            prompts.queue(vx::Answer::Ok);
        main->RunCommand(s("mnuUtilsConvertSndFile"));
    }
    void options(std::function<void(frmPcmOptions *)> answer)
    {
        forms.queue([answer](QWidget *w) { answer(static_cast<frmPcmOptions *>(w)); });
    }
    static void type(QLineEdit *box, const char *keys)
    {
        box->clear();
        QTest::keyClicks(box, s(keys));
    }
    void expectIdle()
    {
        EXPECT_FALSE(Busy);
        EXPECT_FALSE(Playing);
        EXPECT_TRUE(ProgressBar.isNull());
        EXPECT_EQ(frmProgress::loaded(), nullptr);
        EXPECT_TRUE(QDir(TempFolder).entryList(QDir::Files).isEmpty());
    }

    vx::ScriptedPrompter prompts;
    vx::ScriptedForms forms;
    std::unique_ptr<frmMDI> main;
    cTolvane link;
    chipsim::Chip *chip = nullptr;
    QString dir;
    QStringList captions;
    bool cancelAtReport = false;
};

} // namespace

TEST_F(SoundCommands, ConvertWaveToPcmWithOptionsAndBack)
{
    const QString out = dir + s("song.pcm");
    options([](frmPcmOptions *f) {
        EXPECT_TRUE(f->txtTag->isEnabled());
        type(f->txtTag, "a"); // letters go at once, and a blank tag is no tag
        EXPECT_EQ(f->txtTag->text(), QString());
        type(f->txtGate, "x37");
        EXPECT_EQ(f->txtGate->text(), s("3"));
        f->chkBoost->setChecked(true);
        f->close(); // the close box does nothing
        EXPECT_TRUE(f->isVisible());
        f->cmdOK->click();
    });
    convert(dir + s("Song.WAV"), out);
    ASSERT_EQ(prompts.prompts().size(), 3);
    EXPECT_EQ(prompts.prompts()[1].defaultText, dir + s("Song.pcm"));
    EXPECT_EQ(prompts.last().text, s("The PCM file 'song.pcm' was successfully created. "));
    EXPECT_EQ(prompts.last().title, s("Convert Wave File"));
    EXPECT_EQ(captions.value(0), s("Converting Wave File"));
    const QByteArray marked = readFile(out);
    EXPECT_EQ(marked.mid(8, 8).left(2), bytes({0xC0, 0xDB})); // the newer form, tag 0
    EXPECT_EQ(marked.mid(14, 2), bytes({0, 0}));
    expectIdle();

    // For the older chip: no tag, the last gate and boost kept, the file replaced.
    SV10DataFiles = true;
    options([](frmPcmOptions *f) {
        EXPECT_FALSE(f->txtTag->isEnabled() || f->lblTag->isEnabled());
        EXPECT_EQ(f->txtTag->text() + f->txtGate->text(), s("03"));
        EXPECT_TRUE(f->chkBoost->isChecked());
        f->cmdOK->click();
    });
    convert(dir + s("Song.WAV"), out);
    const QByteArray plain = readFile(out);
    ASSERT_GT(plain.size(), 4);
    EXPECT_EQ(quint32(quint8(plain[0]) | quint8(plain[1]) << 8 | quint8(plain[2]) << 16) + 4, quint32(plain.size()));

    captions.clear();
    convert(out, dir + s("back.wav"));
    EXPECT_EQ(prompts.last().text, s("The Wave file 'back.wav' was successfully created. "));
    EXPECT_EQ(prompts.last().title, s("Convert PCM File"));
    EXPECT_EQ(captions.value(0), s("Convert PCM File"));
    EXPECT_TRUE(readFile(dir + s("back.wav")).startsWith("RIFF"));
    expectIdle();
}

TEST_F(SoundCommands, ConversionCancelsAreQuietAndFailuresReported)
{
    const QString out = dir + s("out.pcm");
    prompts.queueFiles({dir + s("Song.WAV")});
    prompts.queueCancel(); // the save dialog
    main->RunCommand(s("mnuUtilsConvertSndFile"));
    options([](frmPcmOptions *f) { f->cmdCancel->click(); });
    convert(dir + s("Song.WAV"), out, false);
    options([](frmPcmOptions *f) { f->cmdOK->click(); });
    cancelAtReport = true;
    convert(dir + s("Song.WAV"), out, false);
    cancelAtReport = false;
    EXPECT_FALSE(QFile::exists(out));
    expectIdle();

    // A file at fault is named; a well-formed one the chip cannot take is
    // not called corrupt.
    writeFile(dir + s("noise.wav"), QByteArray("RIFF not really"));
    writeFile(dir + s("deep.wav"), extensibleWave(600));
    writeFile(dir + s("bad.pcm"), QByteArray("\xff\xff\xff\x63xx"));
    writeTooLongWave(dir + s("long.wav"));
    const struct
    {
        const char *name, *tag, *message;
    } failures[] = {
        {"noise.wav", "0", "Error 1003: Invalid or corrupt sound file <file>"},
        {"deep.wav", "0", "Error 1003: <file> is not a supported sound format."},
        {"bad.pcm", nullptr, "Error 1003: Invalid or corrupt sound file <file>"},
        {"long.wav", "0", "Error 1003: Sound too long for a chip PCM file; at 8000 Hz the longest is 34 min 57 s."},
        {"Song.WAV", "70000", "Error 1000: Tag value must be between 0 and 65534."},
        {"Song.WAV", "99999999999", "Error 6: Overflow"},
    };
    for (const auto &c : failures) {
        SCOPED_TRACE(c.message);
        if (c.tag) {
            options([tag = c.tag](frmPcmOptions *f) {
                type(f->txtTag, tag);
                f->cmdOK->click();
            });
        }
        convert(dir + s(c.name), out);
        EXPECT_EQ(prompts.last().text, s(c.message).replace(s("<file>"), dir + s(c.name)));
        EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
        EXPECT_FALSE(QFile::exists(out));
        expectIdle();
    }
    prompts.queueFiles({dir + s("notes.txt")});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("mnuUtilsConvertSndFile"));
    EXPECT_EQ(prompts.last().text, dir + s("notes.txt is not a supported format. "));
}

// Bytes named .mp3 are judged before a device is looked for, so with or
// without one they are called invalid, by File > Play and from the command
// line; a real MP3 still reaches the player.
TEST_F(SoundCommands, RandomBytesNamedMp3AreAnInvalidSoundFile)
{
    AudioPlayer = 1;
    std::mt19937 random(3);
    QByteArray noise(200000, '\0');
    for (char &c : noise)
        c = static_cast<char>(random());
    const QString garbage = dir + s("garbage.mp3");
    writeFile(garbage, noise);
    ASSERT_GT(IsMp3File(garbage), 0) << "the bytes hold what passes for a frame header";
    const QString invalid = s("Error 202: Invalid or corrupt sound file ") + garbage;
    prompts.queueFiles({garbage});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("mnuFilePlay"));
    EXPECT_EQ(prompts.last().text, invalid);
    prompts.queue(vx::Answer::Ok);
    OpenFileByType(garbage);
    EXPECT_EQ(prompts.last().text, invalid);
    EXPECT_EQ(prompts.prompts().size(), 3);
    expectIdle();

    StoppedPlayer player;
    setPreviewPlayer(&player);
    const QString song = QDir::cleanPath(qEnvironmentVariable("VX_TEST_DATA") +
                                         s("/../../../../components/sonvert/data/tone1k.mp3"));
    ASSERT_TRUE(QFile::exists(song));
    OpenFileByType(song);
    EXPECT_EQ(player.opened, QStringList{song});
}

TEST_F(SoundCommands, LibraryRowPreviewsOnTheChipInTheEmulatedForm)
{
    AudioPlayer = 0;
    SV10Emulation = true;
    main->RunCommand(s("mnuFileNewSoundLib"));
    auto *w = qobject_cast<frmSoundLib *>(ActiveDocument());
    ASSERT_NE(w, nullptr);
    w->AddFilesToSoundLibrary({dir + s("Song.WAV"), QString()});
    w->rows()[0].entry.Compress = true;
    w->selectOnly(0);

    // Converted in the older form, compressed, streamed; the setting kept.
    // The preview's status text stays up while the chip plays.
    QStringList statusWhilePlaying;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (chip->playingPcm())
            statusWhilePlaying << main->sbStatusBar->PanelText(1);
    });
    watch.start();
    main->tbStdLarge_ButtonClick(ToolbarButton(s("Play")));
    watch.stop();
    ASSERT_FALSE(statusWhilePlaying.isEmpty());
    EXPECT_EQ(statusWhilePlaying.last(), s("Playing 'Song.wav'"));
    ASSERT_EQ(chip->pcmPlays().size(), 1);
    EXPECT_TRUE(chip->pcmPlays()[0].compressed);
    EXPECT_TRUE(chip->pcmPlays()[0].header.isEmpty());
    EXPECT_FALSE(SV10DataFiles);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(main->sbStatusBar->PanelText(1), s("For Help, press F1"));
    expectIdle();

    // A cancel plays nothing and says nothing; the setting is back all the same.
    cancelAtReport = true;
    PlaySoundFile(dir + s("Song.WAV"), false, 2, true);
    cancelAtReport = false;
    EXPECT_EQ(chip->pcmPlays().size(), 1);
    EXPECT_FALSE(SV10DataFiles);
    expectIdle();
    // So does a stop signal's cancel once the conversion is over and before
    // the play begins.
    QTimer progressUp;
    progressUp.setInterval(1);
    QObject::connect(&progressUp, &QTimer::timeout, [&] {
        if (frmProgress *p = frmProgress::loaded()) {
            progressUp.stop();
            QObject::connect(p, &QObject::destroyed, main.get(), [&] { main->cancelTask(); });
        }
    });
    progressUp.start();
    PlaySoundFile(dir + s("Song.WAV"), false, 2, true);
    EXPECT_EQ(chip->pcmPlays().size(), 1);
    expectIdle();

    // A compressed chip PCM file plays unchanged.
    writeFile(dir + s("packed.pcm"), plainPcm(0x80 | 99, QByteArray(40, '\x11')));
    PlaySoundFile(dir + s("packed.pcm"), false, 0, false);
    EXPECT_EQ(chip->pcmPlays().last().data, QByteArray(40, '\x11'));

    QFile::remove(dir + s("Song.WAV"));
    prompts.queue(vx::Answer::Ok);
    main->tbStdLarge_ButtonClick(ToolbarButton(s("Play")));
    EXPECT_EQ(prompts.last().text, s("Cannot open ") + dir + s("Song.WAV; file not found. "));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Critical);
    writeFile(dir + s("junk.wav"), QByteArray("RIFF?"));
    prompts.queue(vx::Answer::Ok);
    PlaySoundFile(dir + s("junk.wav"), false, 0, false);
    EXPECT_EQ(prompts.last().text, s("Error 202: Invalid or corrupt sound file ") + dir + s("junk.wav"));
    writeFile(dir + s("deep.wav"), extensibleWave(600));
    prompts.queue(vx::Answer::Ok);
    PlaySoundFile(dir + s("deep.wav"), false, 0, false);
    EXPECT_EQ(prompts.last().text, s("Error 202: ") + dir + s("deep.wav is not a supported sound format."));
    expectIdle();

    // A name that is not UTF-8, as the command line gives it, plays.
    const QByteArray raw = QFile::encodeName(dir) + "caf\xe9.wav";
    std::ofstream(raw.constData(), std::ios::binary) << wave(1, 22050, 16, 8000).toStdString();
    const char *argv[] = {"Voxmere", raw.constData()};
    const auto asked = prompts.prompts().size();
    OpenFileByType(vx::fileArguments(2, argv).value(0));
    EXPECT_EQ(prompts.prompts().size(), asked);
    EXPECT_EQ(chip->pcmPlays().size(), 3);
    expectIdle();

    // A row listed as plain with Comp ticked, whose file was since compressed
    // under its name, plays as the file is; the row then shows it compressed.
    writeFile(dir + s("tone.pcm"), plainPcm(99, QByteArray(80, '\x20')));
    w->AddFilesToSoundLibrary({dir + s("tone.pcm"), QString()});
    const int tone = w->currentRow();
    w->rows()[tone].entry.Compress = true;
    writeFile(dir + s("tone.pcm"), plainPcm(0x80 | 99, QByteArray(40, '\x22')));
    main->tbStdLarge_ButtonClick(ToolbarButton(s("Play")));
    ASSERT_EQ(chip->pcmPlays().size(), 4);
    EXPECT_EQ(chip->pcmPlays().last().data, QByteArray(40, '\x22'));
    EXPECT_EQ(w->rows()[tone].entry.Kind, sfkCompressedPcm);
    EXPECT_FALSE(w->rows()[tone].entry.Compress);
    expectIdle();
}

TEST_F(SoundCommands, PcPreviewOfChipPcmEndsOnStop)
{
    AudioPlayer = 1;
    StoppedPlayer player;
    setPreviewPlayer(&player);
    writeFile(dir + s("take.pcm"), plainPcm(99, QByteArray(400, '\x80')));
    prompts.queueFiles({dir + s("take.pcm")});
    main->RunCommand(s("mnuFilePlay"));
    EXPECT_EQ(player.opened, QStringList{TempFolder + s("take.wav")});
    EXPECT_EQ(player.shown, QStringList{dir + s("take.pcm")}); // what a failure names
    EXPECT_TRUE(player.existed);
    EXPECT_EQ(player.face, s("Stop"));
    EXPECT_EQ(player.polls, 3);
    EXPECT_EQ(player.closed, 1);
    EXPECT_EQ(ButtonImage(ToolbarButton(s("Play"))) + ButtonImage(ToolbarButton(s("Record"))), s("PlayRecord"));
    expectIdle();

    // A wave opened by type plays as it is, blanks and all.
    writeFile(dir + s("take one.wav"), wave(1, 11025, 8, 300));
    OpenFileByType(dir + s("take one.wav"));
    EXPECT_EQ(player.opened.value(1), dir + s("take one.wav"));

    // A score needs a chip; other files are refused by name.
    Port = 0;
    prompts.queueFiles({dir + s("tune.tgx")});
    main->RunCommand(s("mnuFilePlay"));
    prompts.queueFiles({dir + s("notes.TXT")});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("mnuFilePlay"));
    EXPECT_EQ(prompts.last().text, dir + s("notes.TXT is not a supported format. "));
    EXPECT_EQ(player.opened.size(), 2);

    // The platform's player, refusing the converted copy, names the user's file.
    if (!vx::SoundPlayer::hasOutputDevice()) {
        setPreviewPlayer(nullptr);
        prompts.queue(vx::Answer::Ok);
        PlaySoundFile(dir + s("take.pcm"), false, 0, false);
        EXPECT_EQ(prompts.last().text, s("No sound output device is available to play take.pcm."));
        expectIdle();
    }
}
