// Utilities > Convert Sound File with the real converter: wave to chip PCM
// with the options dialog and back, and every way a conversion can end.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/ui/frmPcmOptions.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/frmMDI.h"
#include "components/sonvert/cSonvert.h"
#include "platform/Prompter.h"
#include "platform/ui/Modal.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

using namespace soundtest;

namespace {

class ConvertCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        main = std::make_unique<frmMDI>();
        MainToolbar = main->tbStdLarge;
        DocState.resize(2);
        // A dot in the folder's name must not cut the proposed output name.
        dir = QString::fromStdString(vxtest::freshDir("my.sounds")) + QLatin1Char('/');
        TempFolder = QString::fromStdString(vxtest::freshDir("temp")) + QLatin1Char('/');
        cSonv = new cSonvert;
        cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
        // Every report is due, so a Cancel is seen at the first one.
        cSonv->setProgressClock([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
        cSonv->setPercentDone([this](int percent, bool &cancel) {
            if (frmProgress *p = frmProgress::loaded())
                captions << p->windowTitle();
            if (cancelAtReport)
                frmProgress::instance()->cmdCancel->click();
            main->cSonv_PercentDone(percent, cancel);
        });
        writeFile(dir + QStringLiteral("Song.WAV"), wave(1, 22050, 16, 8000));
    }
    void TearDown() override
    {
        delete cSonv;
        cSonv = nullptr;
        frmPcmOptions::Unload();
        frmProgress::Unload();
        ResetDocuments();
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
        main->RunCommand(QStringLiteral("mnuUtilsConvertSndFile"));
    }
    void answerOptions(std::function<void(frmPcmOptions *)> answer)
    {
        forms.queue([answer](QWidget *w) { answer(static_cast<frmPcmOptions *>(w)); });
    }
    static void typeInto(QLineEdit *box, const char *keys)
    {
        box->clear();
        QTest::keyClicks(box, QString::fromLatin1(keys));
    }
    void expectIdle()
    {
        EXPECT_FALSE(Busy);
        EXPECT_TRUE(ProgressBar.isNull());
        EXPECT_EQ(frmProgress::loaded(), nullptr);
        EXPECT_TRUE(QDir(TempFolder).entryList(QDir::Files).isEmpty());
    }

    vx::ScriptedPrompter prompts;
    vx::ScriptedForms forms;
    std::unique_ptr<frmMDI> main;
    QString dir;
    QStringList captions;
    bool cancelAtReport = false;
};

} // namespace

TEST_F(ConvertCommands, WaveToPcmWithOptionsAndBackToWave)
{
    const QString src = dir + QStringLiteral("Song.WAV");
    const QString out = dir + QStringLiteral("song.pcm");
    answerOptions([](frmPcmOptions *f) {
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Conversion Options"));
        EXPECT_EQ(f->txtTag->text(), QStringLiteral("0"));
        EXPECT_TRUE(f->txtTag->isEnabled());
        EXPECT_EQ(f->lblTag->toolTip(), f->txtTag->toolTip());
        typeInto(f->txtTag, "a"); // letters go at once: a blank tag is no tag
        EXPECT_EQ(f->txtTag->text(), QString());
        typeInto(f->txtGate, "x37");
        EXPECT_EQ(f->txtGate->text(), QStringLiteral("3"));
        f->chkBoost->setChecked(true);
        f->close(); // the close box does nothing
        EXPECT_TRUE(f->isVisible());
        f->cmdOK->click();
    });
    convert(src, out);
    ASSERT_EQ(prompts.prompts().size(), 3);
    EXPECT_EQ(prompts.prompts()[0].title, QStringLiteral("Choose Sound File to Convert"));
    EXPECT_EQ(prompts.prompts()[1].title, QStringLiteral("Save PCM File As"));
    EXPECT_EQ(prompts.prompts()[1].defaultText, dir + QStringLiteral("Song.pcm"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("The PCM file 'song.pcm' was successfully created. "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Convert Wave File"));
    EXPECT_EQ(prompts.last().icon, vx::Icon::None);
    EXPECT_TRUE(captions.contains(QStringLiteral("Converting Wave File")));
    const QByteArray marked = readFile(out);
    ASSERT_GT(marked.size(), 16);
    EXPECT_EQ(marked.mid(8, 2), bytes({0xC0, 0xDB})); // newer form, tag 0
    EXPECT_EQ(marked.mid(14, 2), bytes({0, 0}));
    expectIdle();

    // Older-chip data files: no tag; the last gate and boost are kept; the
    // file of that name is replaced by the plain form.
    SV10DataFiles = true;
    answerOptions([](frmPcmOptions *f) {
        EXPECT_EQ(f->txtTag->text(), QStringLiteral("0"));
        EXPECT_FALSE(f->txtTag->isEnabled());
        EXPECT_FALSE(f->lblTag->isEnabled());
        EXPECT_EQ(f->txtGate->text(), QStringLiteral("3"));
        EXPECT_TRUE(f->chkBoost->isChecked());
        EXPECT_FALSE(f->chkCompress->isChecked());
        f->cmdOK->click();
    });
    prompts.clear();
    convert(src, out);
    const QByteArray plain = readFile(out);
    ASSERT_GT(plain.size(), 4);
    EXPECT_EQ(quint32(quint8(plain[0]) | quint8(plain[1]) << 8 | quint8(plain[2]) << 16) + 4, quint32(plain.size()));
    expectIdle();

    // Back to a wave file: no options asked.
    captions.clear();
    prompts.clear();
    convert(out, dir + QStringLiteral("back.wav"));
    EXPECT_EQ(prompts.prompts()[1].title, QStringLiteral("Save Wave File As"));
    EXPECT_EQ(prompts.prompts()[1].defaultText, dir + QStringLiteral("song.wav"));
    EXPECT_EQ(prompts.last().text, QStringLiteral("The Wave file 'back.wav' was successfully created. "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Convert PCM File"));
    EXPECT_TRUE(captions.contains(QStringLiteral("Convert PCM File")));
    EXPECT_TRUE(readFile(dir + QStringLiteral("back.wav")).startsWith("RIFF"));
    expectIdle();
    EXPECT_EQ(forms.pending(), 0);
}

TEST_F(ConvertCommands, CancelsEndQuietlyAndFailuresAreReported)
{
    const QString src = dir + QStringLiteral("Song.WAV");
    const QString out = dir + QStringLiteral("out.pcm");

    // Cancel in the save dialog: not even busy.
    prompts.queueFiles({src});
    prompts.queueCancel();
    main->RunCommand(QStringLiteral("mnuUtilsConvertSndFile"));
    EXPECT_EQ(prompts.prompts().size(), 2);

    // Cancel in the options, then in the progress dialog: no message, no file.
    answerOptions([](frmPcmOptions *f) { f->cmdCancel->click(); });
    convert(src, out, false);
    expectIdle();
    answerOptions([](frmPcmOptions *f) { f->cmdOK->click(); });
    cancelAtReport = true;
    convert(src, out, false);
    cancelAtReport = false;
    EXPECT_EQ(prompts.prompts().size(), 6);
    EXPECT_FALSE(QFile::exists(out));
    expectIdle();

    // The converter's error, and an options box that does not fit its number.
    const struct
    {
        const char *name, *tag, *message;
    } failures[] = {
        {"noise.wav", "0", "Error 1003: Sound file format invalid or not supported."},
        {"Song.WAV", "70000", "Error 1000: Tag value must be between 0 and 65534."},
        {"Song.WAV", "99999999999", "Error 6: Overflow"},
    };
    writeFile(dir + QStringLiteral("noise.wav"), QByteArray("RIFF not really"));
    for (const auto &c : failures) {
        SCOPED_TRACE(c.message);
        answerOptions([tag = c.tag](frmPcmOptions *f) {
            typeInto(f->txtTag, tag);
            f->cmdOK->click();
        });
        convert(dir + QLatin1String(c.name), out);
        EXPECT_EQ(prompts.last().text, QLatin1String(c.message));
        EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
        EXPECT_FALSE(QFile::exists(out));
        expectIdle();
    }

    // Other extensions are refused by name.
    prompts.queueFiles({dir + QStringLiteral("notes.txt")});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(QStringLiteral("mnuUtilsConvertSndFile"));
    EXPECT_EQ(prompts.last().text, dir + QStringLiteral("notes.txt is not a supported format. "));
}
