// The tone generator, the A/D converter monitor, the sound recorder with its
// recording memory, its repair, and the parameter prompt, against the
// in-process chip.
#include "tests/app/panels/ui/PanelsFixture.h"

#include "app/documents/ui/TextBox.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/frmParmEntry.h"
#include "app/shell/CommandInsertion.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Speaking.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

using namespace panels_test;

class Panels_ : public PanelsFixture
{
protected:
    void SetUp() override
    {
        PanelsFixture::SetUp();
        MainToolbar = main->tbStdLarge;
        // The recorder follows the status bytes through the main window.
        QObject::connect(link.get(), &cTolvane::CommEvent, main.get(), &frmMDI::cTolv_CommEvent);
    }
    // Everything the chip was sent since the logs were cleared, in order.
    [[nodiscard]] QByteArray sent() const
    {
        QByteArray all;
        for (const auto &w : chip->writeLog())
            all += w.bytes;
        return all;
    }
    [[nodiscard]] QStringList messages() const
    {
        QStringList out;
        for (const vx::Prompt &p : prompter.prompts())
            out << p.text;
        return out;
    }
    // Runs check from the event loop every few ms while the panel waits,
    // until it returns true.
    void duringWait(std::function<bool()> check)
    {
        auto *t = new QTimer(main.get());
        t->setInterval(2);
        QObject::connect(t, &QTimer::timeout, [t, check] {
            if (check())
                t->stop();
        });
        t->start();
    }
};

} // namespace

TEST_F(Panels_, ToneGeneratorDialsAndPlaysTheCommandBox)
{
    panels->NewTab(0);
    ActiveDocIndex = 0;
    ASSERT_FALSE(SV10Emulation);

    panels->cmdDialer_Click(5);
    EXPECT_EQ(panels->txtInputBox->Text(), QStringLiteral("\\0150j07701336"));
    ASSERT_EQ(chip->tones().size(), 1);
    EXPECT_DOUBLE_EQ(chip->tones()[0].f1, 770);
    EXPECT_DOUBLE_EQ(chip->tones()[0].f2, 1336);
    EXPECT_DOUBLE_EQ(chip->tones()[0].seconds, 0.5);

    // The pause is written down but not played; nothing plays while busy.
    panels->cmdDialer_Click(vx::kPauseKey);
    Busy = true;
    panels->cmdDialer_Click(1);
    Busy = false;
    EXPECT_EQ(chip->tones().size(), 1);
    EXPECT_EQ(panels->txtInputBox->Text(),
              QStringLiteral("\\0150j07701336 \\0150j00000000 \\0150j06971209"));

    // Letters vanish as they are typed; an empty box reads 0.
    panels->txtF1->clear();
    QTest::keyClicks(panels->txtF1, QStringLiteral("1a2b"));
    EXPECT_EQ(panels->txtF1->text(), QStringLiteral("12"));
    panels->txtF2->clear();
    panels->ToneBox_Validate(panels->txtF2);
    EXPECT_EQ(panels->txtF2->text(), QStringLiteral("0"));

    // Play follows the box and sends all of it: three tones, the pause silent.
    UpdateToolbarState();
    EXPECT_TRUE(ToolbarButton(QStringLiteral("Play"))->isEnabled());
    chip->clearLogs();
    PlayTextOrRecording();
    ASSERT_EQ(chip->tones().size(), 3);
    EXPECT_DOUBLE_EQ(chip->tones()[1].f1, 0);
    EXPECT_DOUBLE_EQ(chip->tones()[2].f2, 1209);
    EXPECT_TRUE(sent().startsWith(QByteArray("\x18")));
}

TEST_F(Panels_, AdcMonitorStreamsUntilStoppedOrOnce)
{
    chip->setAdcSource([](int channel, qint64) { return quint8(10 + 50 * channel); });
    panels->NewTab(3);
    panels->cboChannel->setCurrentIndex(5); // AN0-AN3
    panels->chkExtAmp->click();
    EXPECT_EQ(panels->AdcSettings, 91);
    EXPECT_TRUE(panels->cmdAdcStart->toolTip().endsWith(QStringLiteral("91$")));

    // Continuous, started with the mouse: the four bars fill; the window
    // will not close meanwhile, nothing else may start, and Escape, then
    // Alt+S, typed as the user types them, stop it.
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    panels->SetVisible(true);
    panels->SetFocus();
    chip->clearLogs();
    bool closeRefused = false;
    bool busyWhileRunning = false;
    QString runningText;
    QStringList stoppedBy;
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::ALT | Qt::Key_S)}) {
        int polls = 0;
        duringWait([&] {
            if (panels->vbalADC[3]->value() != 160 && ++polls < 3000)
                return false;
            busyWhileRunning = Busy;
            runningText = panels->cmdAdcStart->text() + QLatin1Char('|') + panels->lblProgressMsg->text();
            bool cancel = false;
            panels->Form_QueryUnload(cancel);
            closeRefused = cancel;
            QTest::keyClick(QApplication::focusWidget(), key[0].key(), key[0].keyboardModifiers());
            // An access key presses the button a moment later, as a click shows.
            if (QTest::qWaitFor([&] { return !panels->AdcRunning; }))
                stoppedBy << key.toString();
            else
                panels->cmdAdcStart->click(); // the key did not stop it: end the run all the same
            return true;
        });
        // Start clears the bars before the first sample comes in.
        QTest::mouseClick(panels->cmdAdcStart, Qt::LeftButton);
    }
    EXPECT_EQ(stoppedBy.join(QLatin1Char(' ')).toStdString(), "Esc Alt+S");
    EXPECT_EQ(runningText, QStringLiteral("&Stop|Status: Running"));
    EXPECT_TRUE(busyWhileRunning);
    EXPECT_TRUE(closeRefused);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(panels->vbalADC[i]->value(), 10 + 50 * i);
        EXPECT_EQ(panels->vbalADC[i]->format(), QString::number(10 + 50 * i));
    }
    const QByteArray bytes = sent();
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x18") + live("91$")));
    EXPECT_TRUE(bytes.endsWith(live("-16$")));
    EXPECT_FALSE(chip->adcRunning());
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Status: Stopped"));
    EXPECT_EQ(panels->cmdAdcStart->text(), QStringLiteral("&Start"));
    EXPECT_TRUE(panels->chkContinuous->isEnabled());
    EXPECT_FALSE(Busy);

    // Neither continuous nor triggered: one conversion of AN2, then it stops
    // by itself. Clearing Cont Mode also clears the recorder's Compress.
    panels->chkContinuous->click();
    EXPECT_FALSE(panels->chkCompress->isChecked());
    EXPECT_FALSE(panels->chkCompress->isEnabled());
    panels->cboChannel->setCurrentIndex(2);
    chip->clearLogs();
    panels->cmdAdcStart_Click();
    EXPECT_EQ(panels->vbalADC[2]->value(), 110);
    EXPECT_EQ(panels->vbalADC[0]->format(), QString());
    EXPECT_TRUE(sent().endsWith(live("-16$")));
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Status: Stopped"));

    // Without a chip Start does nothing.
    Port = 0;
    chip->clearLogs();
    panels->cmdAdcStart_Click();
    EXPECT_TRUE(chip->writeLog().isEmpty());
}

TEST_F(Panels_, RecordingIntoRecordingMemory)
{
    panels->NewTab(4);
    ActiveDocIndex = 0;
    panels->cboChannel->setCurrentIndex(0);
    panels->UpdateAdcCommand();
    panels->txtRecTagVal->setText(QStringLiteral("42"));
    panels->sldSRate->setValue(4);
    panels->chkCompress->setChecked(true);
    // The recorder's toolbar: Record while there is room, Play once a file exists.
    UpdateToolbarState();
    EXPECT_TRUE(ToolbarButton(QStringLiteral("Record"))->isEnabled());
    EXPECT_FALSE(ToolbarButton(QStringLiteral("Play"))->isEnabled());

    // Three kilobytes, the last arriving together with the end.
    chipsim::ChipFaults f;
    f.recordScript = {QByteArray("\x0f"), QByteArray("\x0f"), QByteArray("\x0f\x00", 2)};
    chip->setFaults(f);
    const int freeBefore = RecMemFree;
    int lowest = freeBefore;
    duringWait([&] {
        lowest = std::min(lowest, RecMemFree);
        return !Playing && lowest < freeBefore;
    });
    RecordToRecordingMemory();
    const QByteArray bytes = sent();
    EXPECT_TRUE(bytes.startsWith(live("144$") + live("206l00042"))) << bytes.toHex().toStdString();
    EXPECT_TRUE(bytes.contains('\x18'));
    EXPECT_EQ(lowest, freeBefore - 3);
    ASSERT_EQ(chip->recFiles().size(), 1);
    EXPECT_EQ(chip->recFiles()[0].tag, 42);
    EXPECT_TRUE(ToolbarButton(QStringLiteral("Play"))->isEnabled());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(Playing);
    EXPECT_TRUE(panels->lblCPanels[0]->isEnabled());
    EXPECT_TRUE(panels->lblProgressMsg->text().isEmpty());

    // The chip's errors: one message each, titled "Error".
    struct Case
    {
        QList<QByteArray> script;
        bool writeError;
        const char *message;
        QByteArray afterWriteError = {};
    };
    const Case cases[] = {
        {{QByteArray("\x08")}, false, "Out of recording memory. "},
        {{QByteArray("\x0c"), QByteArray("\x0e")}, false, "Invalid sound library in memory. "},
        {{QByteArray("\x0d")}, false, "Duplicate tag in sound library. "},
        {{QByteArray(1, '\0')}, true, "Error writing to recording memory. "},
        {{}, true, "Error writing to recording memory. "}, // stopped: the chip stores after CAN
        {{}, true, "Error writing to recording memory. ", QByteArray(1, 98)}, // 98 is no status
    };
    // The write error comes after CAN, within the program's settling time:
    // on a quickened clock a loaded machine could miss it.
    vx::Clock::setSpeed(1);
    for (const Case &c : cases) {
        chipsim::ChipFaults cf;
        cf.recordScript = c.script;
        cf.recordWriteError = c.writeError;
        cf.afterWriteError = c.afterWriteError;
        chip->setFaults(cf);
        prompter.clear();
        if (c.script.isEmpty()) {
            duringWait([] {
                if (Playing)
                    StopPlayback();
                return Playing;
            });
        }
        RecordToRecordingMemory();
        ASSERT_EQ(messages(), QStringList{QString::fromLatin1(c.message)});
        EXPECT_EQ(prompter.last().title, QStringLiteral("Error"));
        EXPECT_TRUE(panels->lblCPanels[0]->isEnabled()) << c.message;
    }

    // Refused before anything is sent.
    chip->clearLogs();
    prompter.clear();
    panels->txtRecTagVal->setText(QStringLiteral("65535"));
    RecordToRecordingMemory();
    EXPECT_EQ(panels->txtRecTagVal->text(), QStringLiteral("65534"));
    panels->cboChannel->setCurrentIndex(4);
    RecordToRecordingMemory();
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[0], vx::TagOutOfRangeMessage());
    EXPECT_TRUE(messages()[1].startsWith(QStringLiteral("The recorder can record from any one")));
    EXPECT_TRUE(chip->writeLog().isEmpty());
}

TEST_F(Panels_, PlayFromRecordingMemoryRunsToItsEnd)
{
    chip->addRecFile(7, chipsim::makeMarkedPcm(99, 7, QByteArray(20000, '\x10')));
    panels->UpdateControls();
    panels->NewTab(4);
    ActiveDocIndex = 0;

    // The file box's range, for Play, Delete and Upload alike.
    for (auto command : {&PlayTextOrRecording, +[] { ControlPanels()->cmdDelete_Click(); },
                         +[] { ControlPanels()->cmdUpload_Click(); }}) {
        panels->txtTagIndexVal->setText(QStringLiteral("65535"));
        command();
        EXPECT_EQ(panels->txtTagIndexVal->text(), QStringLiteral("65534"));
    }
    EXPECT_EQ(messages(), QStringList(3, QStringLiteral("Tag/Index value out of range. Valid range is 0-65534.  ")));
    EXPECT_EQ(chip->recFiles().size(), 1);

    // While it plays: its label, and no Pause, neither on the button nor by
    // the command; Busy holds until the chip reports the end.
    panels->txtTagIndexVal->setText(QStringLiteral("0"));
    QString label;
    bool pauseOn = true;
    bool stillBusy = false;
    duringWait([&] {
        if (!Playing)
            return false;
        label = panels->lblProgressMsg->text();
        pauseOn = ToolbarButton(QStringLiteral("Record"))->isEnabled();
        main->tbStdLarge_ButtonClick(ToolbarButton(QStringLiteral("Record")));
        stillBusy = Busy;
        return true;
    });
    prompter.clear();
    PlayTextOrRecording();
    EXPECT_EQ(label, QStringLiteral("Playing index 0..."));
    EXPECT_FALSE(pauseOn);
    EXPECT_TRUE(stillBusy);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(panels->lblProgressMsg->text().isEmpty());
    EXPECT_FALSE(Busy);

    // A file the chip does not hold: its description alone, titled "Error".
    panels->txtTagIndexVal->setText(QStringLiteral("9"));
    PlayTextOrRecording();
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.last().title, QStringLiteral("Error"));
    EXPECT_FALSE(prompter.last().text.startsWith(QStringLiteral("ERROR")));
}

TEST_F(Panels_, RecorderManagesTheFilesInMemory)
{
    QTemporaryDir dir;
    const QByteArray data(8000, '\x10');
    chip->addRecFile(7, chipsim::makeMarkedPcm(99, 7, data));
    chip->addRecFile(42, chipsim::makeMarkedPcm(78, 42, data));
    panels->UpdateControls();
    panels->NewTab(4);

    panels->txtTagIndexVal->clear();
    QTest::keyClicks(panels->txtTagIndexVal, QStringLiteral("a7b"));
    EXPECT_EQ(panels->txtTagIndexVal->text(), QStringLiteral("7"));
    EXPECT_TRUE(panels->cmdUpload->toolTip().endsWith(QStringLiteral("245L00007)")));
    EXPECT_TRUE(panels->cmdDelete->toolTip().endsWith(QStringLiteral("234L00007)")));

    // Tag addressing: the command, then the option follows the chip.
    chip->clearLogs();
    panels->optIndexType[1]->click();
    EXPECT_EQ(chip->writeLog().first().bytes, live("+8g"));
    EXPECT_TRUE(panels->optIndexType[1]->isChecked());
    EXPECT_EQ(statusPanel(3), QStringLiteral("Addressing Mode: Tag"));

    // Delete by tag.
    panels->txtTagIndexVal->setText(QStringLiteral("42"));
    prompter.queue(vx::Answer::Yes);
    panels->cmdDelete_Click();
    EXPECT_EQ(prompter.last().title, QStringLiteral("Confirm Delete"));
    ASSERT_EQ(chip->recFiles().size(), 1);
    EXPECT_EQ(chip->recFiles()[0].tag, 7);
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("File successfully deleted."));

    // Upload by index: the chip's bytes exactly. A cancel half-way leaves
    // nothing behind.
    panels->optIndexType[0]->click();
    panels->txtTagIndexVal->setText(QStringLiteral("0"));
    const QString target = dir.filePath(QStringLiteral("Index0.pcm"));
    prompter.queueFiles({target});
    panels->cmdUpload_Click();
    EXPECT_EQ(prompter.last().defaultText, QStringLiteral("Index0.pcm"));
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Upload complete."));
    QFile up(target);
    ASSERT_TRUE(up.open(QIODevice::ReadOnly));
    EXPECT_EQ(up.readAll(), chip->recFiles()[0].pcm);

    const QMetaObject::Connection halfway =
        QObject::connect(cTolv, &cTolvane::PercentDone, main.get(), [](int percent, bool &cancel) {
        if (percent >= 50 && frmProgress::loaded())
            frmProgress::loaded()->cmdCancel_Click();
        cancel = StopRequested;
    });
    prompter.queueFiles({dir.filePath(QStringLiteral("cut.pcm"))});
    panels->cmdUpload_Click();
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Upload canceled."));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Index0.pcm")});
    QObject::disconnect(halfway);

    // Initialize asks only while there is something to lose.
    prompter.clear();
    prompter.queue(vx::Answer::Yes);
    panels->cmdInitialize_Click();
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.last().title, QStringLiteral("Confirm Initialization"));
    EXPECT_TRUE(chip->recFiles().isEmpty());
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Recording memory initialized."));
    panels->cmdInitialize_Click();
    EXPECT_EQ(prompter.prompts().size(), 1);
}

TEST_F(Panels_, RepairRecMemoryMendsACorruptMemory)
{
    chip->setRecMemCorrupt(true);
    panels->UpdateControls();
    UpdateToolbarState();
    ASSERT_TRUE(main->Item(QStringLiteral("mnuUtilsRepairRecMem"))->isEnabled());
    QString caption;
    vxtest::whenShown(QStringLiteral("frmProgress"), [&](QWidget *w) { caption = w->windowTitle(); });
    main->Item(QStringLiteral("mnuUtilsRepairRecMem"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("Recording Memory Repair"));
    EXPECT_FALSE(chip->recMemCorrupt());
    EXPECT_GE(RecMemFree, 0);
    EXPECT_FALSE(main->Item(QStringLiteral("mnuUtilsRepairRecMem"))->isEnabled());
}

TEST_F(Panels_, ParameterPromptAsksAndTheCommandIsChecked)
{
    vx::ScriptedForms forms;
    auto answer = [&forms](const char *typed, bool ok) {
        forms.queue([typed, ok](QWidget *w) {
            auto *p = static_cast<frmParmEntry *>(w);
            p->txtCmdParm->setText(QString::fromLatin1(typed));
            (ok ? p->cmdOK : p->cmdCancel)->click();
        });
    };
    frmParmEntry *prompt = frmParmEntry::instance();

    answer("5", true);
    EXPECT_EQ(prompt->GetParm(QStringLiteral("Volume"), 9), QStringLiteral("5"));
    EXPECT_EQ(prompt->lblCmdLabel->text(), QStringLiteral("Volume (0-9):"));
    EXPECT_EQ(prompt->windowTitle(), QStringLiteral("Set Parameter"));
    answer("5", false);
    EXPECT_EQ(prompt->GetParm(QStringLiteral("Volume"), 9), QString());

    // The instructions wait while the user works in the panels; the close
    // box does not end the wait.
    panels->txtInputBox->setText(QStringLiteral("\\0150j07701336"));
    panels->txtTagIndexVal->setText(QStringLiteral("12"));
    bool stayed = false;
    forms.queue([&stayed](QWidget *w) {
        auto *p = static_cast<frmParmEntry *>(w);
        p->close();
        stayed = p->isVisible() && p->picArrow->isVisible() && p->lblCmdLabel->text() == vx::ToneInstructions();
        p->cmdOK->click();
    });
    EXPECT_EQ(prompt->GetParm(QStringLiteral("DO_TGN"), 0), QStringLiteral("\\0150j07701336"));
    EXPECT_TRUE(stayed);
    answer("", true);
    EXPECT_EQ(prompt->GetParm(QStringLiteral("DO_REC"), 65534), QStringLiteral("12"));

    // Through the menus' prompt: an answer out of range or not a whole
    // number is refused and asked again.
    prompter.clear();
    answer("14", true);
    answer("3.7", true);
    answer("13", true);
    EXPECT_EQ(vx::AskParamCommand(5, GetParm), QStringLiteral("\\0113s"));
    EXPECT_EQ(messages(), QStringList(2, vx::ParmRangeMessage()));
    answer("", true); // an empty box is 0
    EXPECT_EQ(vx::AskParamCommand(103, GetParm), QStringLiteral("\\010v"));
}
