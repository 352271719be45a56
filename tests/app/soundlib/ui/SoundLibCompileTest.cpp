// File > Compile on a sound library window: the compile window's ends that
// leave no library behind, the messages, and a 20-sound library of every kind
// downloaded into the in-process chip.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmSLCProgress.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/TextUtil.h"
#include "components/sonvert/cSonvert.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"
#include "tests/support/SimLink.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

using namespace soundtest;

namespace {

// Notes, at every question, whether the program is busy and what the
// compile window says.
class WatchingPrompter : public vx::ScriptedPrompter
{
public:
    QStringList seen;
    vx::Reply ask(const vx::Prompt &p) override
    {
        const frmSLCProgress *f = frmSLCProgress::loaded();
        seen << (Busy ? QStringLiteral("busy ") : QStringLiteral("idle ")) + (f ? f->lblStatus1->text() : QStringLiteral("-"));
        return ScriptedPrompter::ask(p);
    }
};

// Runs action once, from the event loop, as soon as ready() holds.
void when(std::function<bool()> ready, std::function<void()> action)
{
    auto *timer = new QTimer;
    timer->setInterval(2);
    QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
        if (!ready())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

class SoundLibCompile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ResetGlobals();
        link = vxtest::openSimLink(QStringLiteral("115200,N,8,1"), QByteArray("\r\x18"));
        chip = chipsim::simulatedChip(1);
        main = std::make_unique<frmMDI>();
        QObject::connect(link.get(), &cTolvane::PercentDone, main.get(), &frmMDI::cTolv_PercentDone,
                         Qt::DirectConnection);
        ChipModel = QStringLiteral("SV3420");
        DownloadTitle = QStringLiteral("SV3420 Download");
        ResetDocuments();
        DocState.resize(2);
        RegisterSoundLibDocuments();
        dir = QString::fromStdString(vxtest::freshDir(::testing::UnitTest::GetInstance()->current_test_info()->name())) +
              QLatin1Char('/');
        out = dir + QStringLiteral("Lib.sfx");
        TempFolder = QString::fromStdString(vxtest::freshDir("temp")) + QLatin1Char('/'); // set up at start-up
        NewSoundLibDocument();
        w = qobject_cast<frmSoundLib *>(ActiveDocument());
        ASSERT_NE(w, nullptr);
    }
    void TearDown() override
    {
        ResetDocuments();
        DocState.clear();
        delete cSonv;
        cSonv = nullptr;
        vxtest::closeSimLink(link);
        main.reset();
    }

    QString put(const QString &name, const QByteArray &content)
    {
        writeFile(dir + name, content);
        return dir + name;
    }
    void setLibrary(const QStringList &paths)
    {
        w->rows().clear();
        w->model->reload();
        w->AddFilesToSoundLibrary(paths + QStringList{QString()});
        ASSERT_EQ(w->rows().size(), paths.size());
    }
    // File > Compile from the main window's menu, answering the save dialog with Lib.sfx.
    void compile(const QList<vx::Answer> &answers = {})
    {
        prompts.queueFiles({out});
        for (const vx::Answer a : answers)
            prompts.queue(a);
        UpdateToolbarState();
        QAction *item = main->Item(QStringLiteral("mnuFileCompile"));
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
    }
    // What every compile leaves, whatever its end.
    void expectEnded() const
    {
        EXPECT_FALSE(Busy);
        EXPECT_FALSE(CompilingLibrary);
        EXPECT_EQ(frmSLCProgress::loaded(), nullptr);
        EXPECT_TRUE(w->isEnabled());
        EXPECT_EQ(main->sbStatusBar->PanelText(1), QStringLiteral("For Help, press F1"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(QDir(TempFolder).isEmpty());
    }

    WatchingPrompter prompts;
    std::unique_ptr<frmMDI> main;
    std::unique_ptr<cTolvane> link;
    chipsim::Chip *chip = nullptr;
    frmSoundLib *w = nullptr;
    QString dir, out;
};

} // namespace

TEST_F(SoundLibCompile, EndsThatLeaveNoLibrary)
{
    const QString plain = put(QStringLiteral("a.pcm"), plainPcm(0x63, QByteArray(100, '\x40')));
    const QString gone = put(QStringLiteral("gone.wav"), wave(1, 11025, 8, 1100));
    setLibrary({plain, gone});
    QFile::remove(gone);

    // A missing sound: the window says so in red and waits; closing it is Cancel.
    put(QStringLiteral("Lib.sfx"), "an older library");
    QString status, detail;
    QColor colour;
    when([] { auto *f = frmSLCProgress::loaded(); return f && f->lblStatus1->text() == QLatin1String("Process Terminated"); },
         [&] {
             frmSLCProgress *f = frmSLCProgress::loaded();
             detail = f->lblStatus2->text();
             status = f->lblStatus->text();
             colour = f->lblStatus1->palette().color(QPalette::WindowText);
             EXPECT_TRUE(Busy && CompilingLibrary);
             EXPECT_FALSE(w->isEnabled());
             EXPECT_FALSE(QFile::exists(out)); // gone already while the user reads
             f->close();
         });
    compile();
    EXPECT_EQ(detail, QStringLiteral("Cannot open 'gone.wav' (file was probably moved or deleted)"));
    EXPECT_EQ(status, QStringLiteral("Processing file 2 of 2"));
    EXPECT_EQ(colour, QColor(255, 0, 0));
    EXPECT_EQ(prompts.prompts().size(), 1); // the save dialog, no message
    EXPECT_FALSE(QFile::exists(out));
    expectEnded();

    // A marked sound for the older chip, and a sound that cannot be read: a
    // message each, never a success, never a library.
    const QString marked = put(QStringLiteral("new voice.pcm"), markedPcm(0x63, 7, bytes({1, 2, 0x80})));
    const QString unreadable = dir + QStringLiteral("unreadable.pcm");
    const struct
    {
        QString sound;
        bool older;
        QString text, title;
        int help;
    } ends[] = {
        {marked, true,
         QStringLiteral("'New Voice.pcm' is an SV3420 ADPCM-encoded sound file,\r\nwhich is not compatible with the "
                        "SV3410. Remove this file from the  \r\nlibrary, or select SV3420-only compatibility in Preferences."),
         QStringLiteral("Unsupported Format"), 289},
        {unreadable, false, QStringLiteral("Error 75: Path/File access error (unreadable.pcm)"), QString(), 0},
    };
    QDir(dir).mkdir(QStringLiteral("unreadable.pcm")); // there, but no file to read
    for (const auto &e : ends) {
        setLibrary({plain});
        const QFileInfo sound(e.sound);
        SoundEntry entry = GetSoundFileInfo(sound.path() + QLatin1Char('/'), sound.fileName(), false);
        entry.Kind = sfkPcm;
        w->rows().append(SoundRow{entry, {}});
        w->model->reload();
        SV10DataFiles = e.older;
        put(QStringLiteral("Lib.sfx"), "an older library");
        prompts.clear();
        compile({vx::Answer::Ok});
        ASSERT_EQ(prompts.prompts().size(), 2);
        EXPECT_EQ(prompts.last().text, e.text);
        EXPECT_EQ(prompts.last().title, e.title.isEmpty() ? vx::programTitle() : e.title);
        EXPECT_EQ(prompts.last().helpTopic, e.help);
        EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
        EXPECT_FALSE(QFile::exists(out));
        expectEnded();
    }

    // Two rows of one tag, as a list file may hold them: refused before
    // anything is written, saying so, the old library left as it was. The
    // older chip takes no tags, so there they compile.
    for (const bool older : {false, true}) {
        setLibrary({});
        for (const char *name : {"one.pcm", "two.pcm"}) {
            SoundEntry entry = GetSoundFileInfo(dir, QFileInfo(put(QLatin1String(name), plainPcm(0x63, QByteArray(10, '\x40')))).fileName(), false);
            entry.Tag = 7;
            w->rows().append(SoundRow{entry, {}});
        }
        w->model->reload();
        SV10DataFiles = older;
        put(QStringLiteral("Lib.sfx"), "an older library");
        prompts.clear();
        compile({vx::Answer::Ok, vx::Answer::No});
        if (older) {
            EXPECT_EQ(readFile(out).size(), 33 + 2 * (4 + 10) + 2);
        } else {
            ASSERT_EQ(prompts.prompts().size(), 2);
            EXPECT_EQ(prompts.last().text, QStringLiteral("The sound library 'Lib.sfx' was not compiled: One.pcm and "
                                                          "Two.pcm have the same tag, 7. Give one of them another tag, "
                                                          "then compile again. "));
            EXPECT_EQ(prompts.last().title, QStringLiteral("Duplicate Tag"));
            EXPECT_EQ(readFile(out), QByteArray("an older library"));
        }
        expectEnded();
    }

    // A sound longer than a chip PCM file holds is named so, as Convert Sound File names it;
    // to be compressed it is judged compressed, as there, and this one (silence) fits.
    setLibrary({writeTooLongWave(dir + QStringLiteral("long.wav"))});
    w->rows()[0].entry.Compress = false;
    prompts.clear();
    compile({vx::Answer::Ok});
    EXPECT_EQ(prompts.last().text, QStringLiteral("Error 1003: Sound too long for a chip PCM file; at 8000 Hz the "
                                                  "longest is 34 min 57 s. (long.wav)"));
    EXPECT_FALSE(QFile::exists(out));
    expectEnded();
    w->rows()[0].entry.Compress = true;
    prompts.clear();
    compile({vx::Answer::No});
    EXPECT_TRUE(prompts.last().text.startsWith(QStringLiteral("'Lib.sfx' was successfully created. ")));
    ASSERT_GT(readFile(out).size(), 33 + 6);
    EXPECT_EQ(static_cast<quint8>(readFile(out).at(33 + 3)) & 0x80, 0x80); // a compressed entry
    expectEnded();

    // Without a chip: the plain success message while the window shows its last state.
    SV10DataFiles = false;
    Port = 0;
    setLibrary({plain});
    w->rows()[0].entry.Compress = false;
    prompts.clear();
    prompts.seen.clear();
    compile({vx::Answer::Ok});
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Lib.sfx' was successfully created. "));
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::Ok);
    EXPECT_EQ(prompts.last().icon, vx::Icon::Information);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Compile Sound Library"));
    EXPECT_EQ(prompts.seen.last(), QStringLiteral("busy File Creation Successful"));
    EXPECT_EQ(readFile(out).size(), 33 + 6 + 100 + 2);
    expectEnded();
}

// A row listed as plain chip PCM with Comp ticked, whose file was since
// converted again, compressed, under its name: the file goes in as it is,
// and the row shows what the file is.
TEST_F(SoundLibCompile, AFileCompressedSinceItWasListedGoesInAsItIs)
{
    setLibrary({put(QStringLiteral("tone.pcm"), plainPcm(0x63, QByteArray(100, '\x40')))});
    w->rows()[0].entry.Compress = true;
    w->rows()[0].entry.Tag = 3;
    const QByteArray packed = bytes({0x12, 0x34, 0x56, 0x78, 0x9A});
    put(QStringLiteral("tone.pcm"), plainPcm(0x80 | 0x63, packed));
    SV10DataFiles = false;
    Port = 0;
    compile({vx::Answer::Ok});
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Lib.sfx' was successfully created. "));
    EXPECT_EQ(readFile(out).mid(33, 11), le(5, 3) + bytes({0x80 | 0x63, 3, 0}) + packed);
    const SoundRow &row = w->rows()[0];
    EXPECT_EQ(row.entry.Kind, sfkCompressedPcm);
    EXPECT_FALSE(row.entry.Compress);
    EXPECT_EQ(row.entry.MemUsed, 5);
    EXPECT_EQ(row.item.cells[colComp], QString(QChar(0x2022)));
    EXPECT_EQ(w->chkCompress->checkState(), Qt::Checked);
    EXPECT_FALSE(w->chkCompress->isEnabled());
    expectEnded();
}

TEST_F(SoundLibCompile, CancelStopsTheConversionAtItsNextReport)
{
    // The main window's converter, every report due at once.
    cSonv = new cSonvert;
    cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
    cSonv->setProgressClock([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
    QList<int> fileBar; // the compile window's file bar at each report
    cSonv->setPercentDone([&](int percent, bool &cancel) {
        frmSLCProgress *f = frmSLCProgress::loaded();
        frmMDI::cSonv_PercentDone(percent, cancel);
        fileBar << (f && ProgressBar == f->vbalProgressFile ? f->vbalProgressFile->value() : -1);
        if (f)
            f->cmdCancel->click();
    });
    setLibrary({put(QStringLiteral("long.wav"), wave(1, 11025, 16, 88200)),
                put(QStringLiteral("next.wav"), wave(1, 11025, 8, 1100))});
    compile();
    // The report at which Cancel was pressed and the next one, which stopped the run.
    ASSERT_EQ(fileBar.size(), 2);
    EXPECT_GT(fileBar.at(0), 0);
    EXPECT_GT(fileBar.at(1), fileBar.at(0));
    EXPECT_EQ(prompts.prompts().size(), 1); // the save dialog: a cancel says nothing
    EXPECT_FALSE(QFile::exists(out));
    expectEnded();
}

TEST_F(SoundLibCompile, TwentySoundsOfEveryKindDownloadIntoTheChip)
{
    // Chip PCM files made by the program's own converter, plain and compressed.
    QTemporaryDir made;
    cSonvert sonv;
    sonv.setTargetPath(QFile::encodeName(made.path() + QLatin1Char('/')).toStdString());
    const auto pcm = [&](const QString &name, bool marked, bool compressed) {
        const std::string src = QFile::encodeName(put(name + QStringLiteral(".wav"), wave(1, 22050, 16, 8820))).toStdString();
        std::string p = sonv.ConvertToPcm(src, 0, 0, false, marked);
        if (compressed)
            p = sonv.CompressPcmFile(p, marked);
        QFile::remove(dir + name + QStringLiteral(".wav"));
        QFile::rename(QFile::decodeName(QByteArray::fromStdString(p)), dir + name + QStringLiteral(".pcm"));
        return dir + name + QStringLiteral(".pcm");
    };
    const QString mp3 = QDir::cleanPath(qEnvironmentVariable("VX_TEST_DATA") +
                                        QStringLiteral("/../../../../components/sonvert/data/tone1k.mp3"));
    ASSERT_TRUE(QFile::exists(mp3));

    QStringList files;
    const int waves[][3] = {{1, 11025, 8}, {2, 44100, 16}, {1, 22050, 16}, {2, 8000, 8},
                            {1, 48000, 16}, {2, 32000, 16}, {1, 24000, 16}, {2, 11025, 16}};
    for (const auto &[channels, rate, bits] : waves) // an eighth of a second each
        files << put(QStringLiteral("wave%1.wav").arg(files.size()),
                     wave(channels, rate, bits, static_cast<quint32>(channels * bits / 8 * (rate / 8))));
    for (int i = 0; i < 3; ++i) {
        QFile::copy(mp3, dir + QStringLiteral("song%1.mp3").arg(i));
        files << dir + QStringLiteral("song%1.mp3").arg(i);
    }
    for (int i = 0; i < 9; ++i)
        files << pcm(QStringLiteral("chip%1").arg(i), i % 2 == 1, i >= 4);
    setLibrary(files);
    QList<std::pair<int, bool>> sounds; // tag, compressed
    for (int i = 0; i < 20; ++i) {
        SoundEntry &e = w->rows()[i].entry;
        EXPECT_EQ(e.Kind, i < 8 ? sfkWave : i < 11 ? sfkMp3 : i < 15 ? sfkPcm : sfkCompressedPcm) << i;
        e.Tag = i == 19 ? 65534 : 1000 + 7 * i;
        e.Compress = e.Kind != sfkCompressedPcm && i % 3 == 0;
        sounds << std::pair(static_cast<int>(e.Tag), e.Compress || e.Kind == sfkCompressedPcm);
    }

    Port = 1;
    ModuleName = QStringLiteral("Evaluation Board");
    compile({vx::Answer::Yes, vx::Answer::Ok});

    ASSERT_EQ(prompts.prompts().size(), 3);
    const vx::Prompt offer = prompts.prompts().at(1);
    EXPECT_EQ(offer.text, QStringLiteral("'Lib.sfx' was successfully created. Would you \r\nlike to download it to the "
                                         "Evaluation Board at this time? "));
    EXPECT_EQ(offer.buttons, vx::Buttons::YesNo);
    EXPECT_EQ(offer.defaultButton, 2);
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Lib.sfx' was successfully downloaded. "));
    // The download's own end does not end the compile's busy state.
    EXPECT_EQ(prompts.seen.mid(1), (QStringList{QStringLiteral("busy File Creation Successful"),
                                                QStringLiteral("busy File Creation Successful")}));
    EXPECT_EQ(chip->soundLibrary(), readFile(out)); // byte for byte
    QList<std::pair<int, bool>> stored;
    for (const chipsim::RecFile &f : chip->recFiles())
        stored << std::pair(static_cast<int>(f.tag), (static_cast<quint8>(f.pcm.at(13)) & 0x80) != 0);
    EXPECT_EQ(stored, sounds);
    expectEnded();
}

// The offer after a compile sends the library it wrote, whatever the name
// the user gave it.
TEST_F(SoundLibCompile, TheOfferSendsTheLibraryUnderAnyName)
{
    setLibrary({put(QStringLiteral("a.pcm"), plainPcm(0x63, QByteArray(100, '\x40')))});
    Port = 1;
    ModuleName = QStringLiteral("Evaluation Board");
    for (const char *name : {"set.v2", "set.pcm"}) {
        out = dir + QLatin1String(name);
        chip->clearLogs();
        compile({vx::Answer::Yes, vx::Answer::Ok});
        EXPECT_EQ(prompts.last().text, QLatin1Char('\'') + ProperCase(QLatin1String(name)) +
                                           QStringLiteral("' was successfully downloaded. "));
        ASSERT_EQ(chip->downloads().size(), 1) << name;
        EXPECT_EQ(chip->downloads()[0].kind, chipsim::DownloadKind::SoundLibrary) << name;
        EXPECT_EQ(chip->soundLibrary(), readFile(out)) << name;
        expectEnded();
    }
}

// After a compile, and after a toolbar download with the library in front, the
// list has the keyboard again: the arrow keys move its current row.
TEST_F(SoundLibCompile, TheListHasTheKeysAgainAfterATask)
{
    QStringList sounds;
    for (const char *name : {"a.pcm", "b.pcm", "c.pcm"})
        sounds << put(QLatin1String(name), plainPcm(0x63, QByteArray(100, '\x40')));
    setLibrary(sounds);
    main->resize(1000, 700);
    main->show();
    w->frame()->resize(900, 500);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    w->selectOnly(0);
    w->lvwFileList->currentWidget()->setFocus();
    const auto down = [this] {
        // The window manager hands the main window the keyboard back once the
        // task's own windows have gone.
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        return w->currentRow();
    };

    Port = 1;
    compile({vx::Answer::No}); // no download now
    EXPECT_EQ(down(), 1);

    prompts.queueFiles({out});
    prompts.queue(vx::Answer::Ok);
    MainToolbar = main->tbStdLarge;
    main->tbStdLarge_ButtonClick(ToolbarButton(QStringLiteral("Download")));
    EXPECT_EQ(prompts.last().text, QStringLiteral("'Lib.sfx' was successfully downloaded. "));
    EXPECT_EQ(down(), 2);
}
