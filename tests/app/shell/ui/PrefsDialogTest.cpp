#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/frmPrefs.h"
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmPhonetic.h"
#include "app/startup/Preferences.h"
#include "common/ui/Rollover.h"
#include "platform/Help.h"
#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
#include "platform/Settings.h"
#include "platform/ui/Modal.h"
#include "tests/app/shell/ui/HelpCatcher.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSec = QStringLiteral("Settings");

class PrefsDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        DeleteSetting(kApp, kSec);
        LoadPreferences();
        ModuleName = QStringLiteral("SM340A");
        ChipModel = QStringLiteral("SV3420");
        SV10DataFiles = false;
        frmPrefs::unload();
        dlg = frmPrefs::instance();
    }
    void TearDown() override
    {
        vx::resetRollover();
        vx::setDialogOwner(nullptr);
        dlg->hide();
        frmPrefs::unload();
    }

    frmPrefs *dlg = nullptr;
    vx::ScriptedPrompter prompter;
};

} // namespace

TEST_F(PrefsDialog, LoadFillsThePortListAndTheFontDefaults)
{
    ASSERT_EQ(dlg->cboPrefsPort->count(), 32);
    EXPECT_EQ(dlg->cboPrefsPort->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(dlg->cboPrefsPort->itemText(31), QStringLiteral("COM32"));
    EXPECT_EQ(dlg->cboPrefsBaudRate->count(), 8);
    EXPECT_EQ(dlg->cboPrefsBaudRate->itemText(7), QStringLiteral("115200"));
    // No stored font: Consolas when installed, else Courier New, else the
    // desktop's fixed-pitch family; size 8. Either way the list holds it, by
    // the list's own spelling, so the box and the sample show it.
    const QStringList families = frmPrefs::FontFamilies(QFontDatabase::families());
    const bool consolas = families.contains(QStringLiteral("Consolas"), Qt::CaseInsensitive);
    const bool courier = families.contains(QStringLiteral("Courier New"), Qt::CaseInsensitive);
    if (consolas || courier) {
        EXPECT_EQ(FontName, consolas ? QStringLiteral("Consolas") : QStringLiteral("Courier New"));
    }
    EXPECT_TRUE(families.contains(FontName)) << FontName.toStdString();
    EXPECT_EQ(FontSize, QStringLiteral("8"));
    EXPECT_EQ(EditorFont().family(), FontName);
    dlg->show();
    EXPECT_EQ(dlg->cboPrefsFonts->currentText(), FontName);
    EXPECT_EQ(dlg->txtPrefsFontSample->text(), FontName);
    EXPECT_EQ(dlg->cboPrefsFonts->count(), families.size());
    EXPECT_EQ(dlg->currentTab(), 0);
    EXPECT_EQ(dlg->chkPrefsHighlight->toolTip(),
              QStringLiteral("Determines whether words will be highlighted in Text Boxes during play"));
}

TEST_F(PrefsDialog, ActivateShowsTheLiveValuesAndControlsWriteThemAtOnce)
{
    Port = 3;
    BaudRate = 4;
    DfltPCMEnc = true;
    AudioView = 1;
    dlg->show();
    EXPECT_EQ(dlg->cboPrefsPort->currentIndex(), 2);
    EXPECT_EQ(dlg->cboPrefsBaudRate->currentText(), QStringLiteral("9600"));
    EXPECT_TRUE(dlg->optPrefsAudType[1]->isChecked());
    EXPECT_TRUE(dlg->optPrefsAudView[1]->isChecked());
    EXPECT_EQ(dlg->optPrefsAudPlayer[0]->text(), QStringLiteral(" &SM340A"));
    EXPECT_EQ(dlg->lblCmdCharHelp->text(),
              QStringLiteral("Used for entering SV3420 commands in text boxes and dictionaries. "
                             "Clear the box to disable this feature."));
    EXPECT_FALSE(dlg->cmdApply->isEnabled());

    dlg->optPrefsAudType[0]->setChecked(true);
    EXPECT_FALSE(DfltPCMEnc);
    EXPECT_TRUE(dlg->cmdApply->isEnabled());
    dlg->cboPrefsPort->setCurrentIndex(6);
    EXPECT_EQ(Port, 7);
    dlg->cboPrefsBaudRate->setCurrentIndex(7);
    EXPECT_EQ(BaudRate, 8);
    dlg->chkPrefsHighlight->setChecked(false);
    EXPECT_FALSE(Highlight);
    dlg->optPrefsFileCompat[1]->setChecked(true);
    EXPECT_TRUE(SV10DataFiles);
    dlg->optPrefsDictCharSet[0]->setChecked(true);
    EXPECT_EQ(DictCharSet, 0);
    dlg->txtPrefsAudEditor->setText(QStringLiteral("/usr/bin/sweep"));
    EXPECT_EQ(AudioEditor, QStringLiteral("/usr/bin/sweep"));

    // Nothing reached the store before Apply.
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Highlight"), QStringLiteral("-")), QStringLiteral("-"));
    QTest::mouseClick(dlg->cmdApply, Qt::LeftButton);
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Highlight")), QStringLiteral("False"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("BaudRate")), QStringLiteral("8"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("DictCharSet")), QStringLiteral("0"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("DfltPCMEnc")), QStringLiteral("False"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("SV10DataFiles")), QStringLiteral("True"));
    // The port is stored only by a working link.
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port"), QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_FALSE(dlg->cmdApply->isEnabled());
    EXPECT_EQ(HighlightSaved, false);
}

TEST_F(PrefsDialog, TheEditorFontReachesEveryEditorControlAtOnce)
{
    RegisterDictionaryDocuments();
    EditorFont().setPointSizeF(17);
    NewDictionaryDocument();
    QWidget *dictionary = ActiveDocument();
    ASSERT_NE(dictionary, nullptr);
    QWidget *phonetic = PhoneticWindow();
    const char *const controls[] = {"vbalGrid1", "lvwWordList", "txtEdit", "txtWord", "txtSoundsLike"};
    for (const char *name : controls)
        EXPECT_EQ(dictionary->findChild<QWidget *>(QLatin1String(name))->font().pointSizeF(), 17) << name;

    dlg->show();
    dlg->cboPrefsFontSize->setCurrentIndex(8);
    ASSERT_EQ(FontSize, QStringLiteral("24"));
    dlg->cmdApply_Click();
    for (const char *name : controls)
        EXPECT_EQ(dictionary->findChild<QWidget *>(QLatin1String(name))->font().pointSizeF(), 24) << name;
    EXPECT_EQ(phonetic->findChild<QWidget *>(QStringLiteral("txtInputBox"))->font().pointSizeF(), 24);
    ResetDocuments();
    DocState.clear();
}

TEST_F(PrefsDialog, CancelAndTheCloseBoxPutBackEverySavedCopy)
{
    for (int closeBox = 0; closeBox < 2; ++closeBox) {
        Port = 2;
        BaudRate = 8;
        dlg->show();
        dlg->cboPrefsPort->setCurrentIndex(9);
        dlg->cboPrefsBaudRate->setCurrentIndex(0);
        dlg->optPrefsAudType[0]->setChecked(true);
        dlg->optPrefsAudPlayer[0]->setChecked(true);
        dlg->optPrefsAudView[1]->setChecked(true);
        dlg->optPrefsAudDblClk[1]->setChecked(true);
        dlg->txtPrefsAudEditor->setText(QStringLiteral("/x"));
        dlg->chkPrefsGrt->setChecked(true);
        dlg->chkPrefsHighlight->setChecked(false);
        dlg->chkPrefsTblAltColor->setChecked(false);
        dlg->optPrefsDictCharSet[0]->setChecked(true);
        dlg->optPrefsDictSynCk[1]->setChecked(true);
        dlg->txtPrefsCmdChar->setText(QStringLiteral("#"));
        dlg->optPrefsFileCompat[1]->setChecked(true);
        const int other = dlg->cboPrefsFonts->currentIndex() == 0 ? 1 : 0;
        dlg->cboPrefsFonts->setCurrentIndex(other);
        dlg->cboPrefsFontSize->setCurrentIndex(8);
        EXPECT_EQ(Port, 10);
        EXPECT_EQ(FontSize, QStringLiteral("24"));

        if (closeBox)
            dlg->close();
        else
            QTest::mouseClick(dlg->cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(Port, 2);
        EXPECT_EQ(BaudRate, 8);
        EXPECT_TRUE(DfltPCMEnc);
        EXPECT_EQ(AudioPlayer, 1);
        EXPECT_EQ(AudioView, 0);
        EXPECT_EQ(AudioDblClk, 0);
        EXPECT_EQ(AudioEditor, QStringLiteral("/usr/bin/audacity"));
        EXPECT_FALSE(GrtCtls);
        EXPECT_TRUE(Highlight);
        EXPECT_TRUE(TblAltColor);
        EXPECT_EQ(DictCharSet, 1);
        EXPECT_EQ(DictSynCk, 0);
        EXPECT_EQ(CommandChar, QStringLiteral("~"));
        EXPECT_FALSE(SV10DataFiles);
        EXPECT_EQ(FontSize, QStringLiteral("8"));
        EXPECT_EQ(FontName, FontNameSaved);
        // The editor font was never applied.
        EXPECT_EQ(EditorFont().pointSizeF(), 8.0);
        // Nothing was stored.
        EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("BaudRate"), QStringLiteral("-")), QStringLiteral("-"));
    }
}

TEST(PrefsFonts, EachFamilyListedOnceAndFoundWithoutRegardToCase)
{
    const QStringList listed = frmPrefs::FontFamilies(
        {QStringLiteral("C059 [urw]"), QStringLiteral("Monospace"), QStringLiteral("C059 [UKWN]"),
         QStringLiteral("DejaVu Sans"), QStringLiteral("c059"), QStringLiteral("Noto [x] Sans")});
    EXPECT_EQ(listed, (QStringList{QStringLiteral("C059"), QStringLiteral("DejaVu Sans"),
                                   QStringLiteral("Monospace"), QStringLiteral("Noto [x] Sans")}));
    EXPECT_EQ(frmPrefs::ListedFamily(listed, QStringLiteral("monospace")), QStringLiteral("Monospace"));
    EXPECT_EQ(frmPrefs::ListedFamily(listed, QStringLiteral("Mono")), QString());
}

TEST_F(PrefsDialog, MinimiseAndRestoreKeepTheShowingsSavedCopies)
{
    BaudRate = 5;
    dlg->show();
    dlg->cboPrefsBaudRate->setCurrentIndex(7);
    dlg->chkPrefsHighlight->setChecked(false);
    ASSERT_TRUE(dlg->cmdApply->isEnabled());
    dlg->showMinimized();
    QApplication::processEvents();
    dlg->showNormal();
    QApplication::processEvents();
    // Still the same showing: Apply stays on and Cancel undoes the edits.
    EXPECT_EQ(dlg->cboPrefsBaudRate->currentIndex(), 7);
    EXPECT_TRUE(dlg->cmdApply->isEnabled());
    const QString shots = qEnvironmentVariable("VX_SCREENSHOT_DIR");
    if (!shots.isEmpty() && !qEnvironmentVariable("DISPLAY").isEmpty())
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"), shots + QStringLiteral("/frmPrefs-restored.png")});
    QTest::mouseClick(dlg->cmdCancel, Qt::LeftButton);
    EXPECT_EQ(BaudRate, 5);
    EXPECT_TRUE(Highlight);
    // A new showing takes the copies anew.
    dlg->show();
    EXPECT_FALSE(dlg->cmdApply->isEnabled());
}

TEST_F(PrefsDialog, InDemoModeThePortIsTakenByOk)
{
    Port = 0;
    dlg->show();
    EXPECT_EQ(dlg->cboPrefsPort->currentIndex(), -1);
    QTest::mouseClick(dlg->cmdOK, Qt::LeftButton);
    EXPECT_EQ(Port, 0);

    // The stored port is shown; the change handler leaves Port alone.
    SaveSetting(kApp, kSec, QStringLiteral("Port"), QStringLiteral("4"));
    dlg->show();
    EXPECT_EQ(dlg->cboPrefsPort->currentText(), QStringLiteral("COM4"));
    dlg->cboPrefsPort->setCurrentIndex(11);
    EXPECT_EQ(Port, 0);
    QTest::mouseClick(dlg->cmdOK, Qt::LeftButton);
    EXPECT_EQ(Port, 12);
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(PrefsDialog, AnEmptyShortcutSwitchesItOff)
{
    dlg->show();
    dlg->txtPrefsCmdChar->clear();
    EXPECT_TRUE(CommandChar.isEmpty());
    QTest::mouseClick(dlg->cmdApply, Qt::LeftButton);
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("CommandChar"), QStringLiteral("-")), QString());
    LoadPreferences();
    EXPECT_TRUE(CommandChar.isEmpty());
    dlg->show();
    dlg->NewTab(1);
    QTest::keyClicks(dlg->txtPrefsCmdChar, QStringLiteral("~a")); // one character at most
    EXPECT_EQ(CommandChar, QStringLiteral("~"));
}

TEST_F(PrefsDialog, TabsShowOnePanelAtATimeAndTheBrowseButtonFillsTheEditor)
{
    dlg->show();
    auto *title = dlg->lblPTitle;
    QTest::mouseClick(dlg->lblPpanels[2], Qt::LeftButton);
    EXPECT_EQ(dlg->currentTab(), 2);
    EXPECT_EQ(title->text(), QStringLiteral("Sound Library Settings"));
    EXPECT_TRUE(dlg->picPrefs[2]->isEnabled());
    EXPECT_FALSE(dlg->picPrefs[0]->isEnabled());
    EXPECT_LT(dlg->picPrefs[0]->x(), 0);

    // Hovering over a tab, its picture or its label, highlights that control.
    // A label turns underlined and light blue, and the timer watches the pointer;
    // once the pointer has moved on, the label looks as it did before.
    QTimer hoverTimer;
    const QColor caption = dlg->lblPpanels[3]->palette().color(QPalette::WindowText);
    vx::setRolloverHost(&hoverTimer);
    QVector<QWidget *> hovered;
    int x = 0;
    for (QWidget *w : {static_cast<QWidget *>(dlg->lblPpanels[3]), static_cast<QWidget *>(dlg->picPpanels[1])}) {
        QCursor::setPos(x += 20, 5);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        hovered.append(vx::rolloverHot());
        if (w == dlg->lblPpanels[3]) {
            EXPECT_TRUE(w->font().underline());
            EXPECT_EQ(w->palette().color(QPalette::WindowText), QColor(0x42, 0x8E, 0xFF));
        }
    }
    EXPECT_EQ(hovered, (QVector<QWidget *>{dlg->lblPpanels[3], dlg->picPpanels[1]}));
    EXPECT_FALSE(dlg->lblPpanels[3]->font().underline());
    EXPECT_EQ(dlg->lblPpanels[3]->palette().color(QPalette::WindowText), caption);
    EXPECT_TRUE(hoverTimer.isActive());
    QCursor::setPos(x + 20, 5);
    SetRollover(nullptr);
    EXPECT_FALSE(hoverTimer.isActive());
    vx::setRolloverHost(nullptr);
    EXPECT_EQ(dlg->currentTab(), 2);

    prompter.queueFiles({QStringLiteral("/usr/local/bin/editor")});
    QTest::mouseClick(dlg->cmdAudEditorBrowse, Qt::LeftButton);
    EXPECT_EQ(prompter.last().title, QStringLiteral("Select External Sound File Editor"));
    // Programs first, by their permission; the extension filters stay.
    EXPECT_EQ(vx::QtPrompter::qtFilters(prompter.last().filter),
              (QStringList{QStringLiteral("Executable Files (*)"), QStringLiteral("Program Files (*.exe *.com)"),
                           QStringLiteral("All Files (*.*)")}));
    EXPECT_EQ(vx::QtPrompter::executableFilterIndex(prompter.last().filter), 0);
    EXPECT_EQ(AudioEditor, QStringLiteral("/usr/local/bin/editor"));
    prompter.queueFiles({});
    QTest::mouseClick(dlg->cmdAudEditorBrowse, Qt::LeftButton);
    EXPECT_EQ(AudioEditor, QStringLiteral("/usr/local/bin/editor"));

    // A picture of each panel, to look at.
    const QString dir = QString::fromStdString(vxtest::freshDir("prefs-shots"));
    for (int i = 0; i < 4; ++i) {
        dlg->NewTab(i);
        EXPECT_TRUE(dlg->grab().save(dir + QStringLiteral("/frmPrefs-%1.png").arg(i)));
    }
    const QByteArray keep = qgetenv("VX_SCREENSHOT_DIR");
    if (!keep.isEmpty())
        for (int i = 0; i < 4; ++i) {
            dlg->NewTab(i);
            dlg->grab().save(QString::fromLocal8Bit(keep) + QStringLiteral("/frmPrefs-%1.png").arg(i));
        }
}

TEST_F(PrefsDialog, AMainWindowThatGoesTakesTheDialogWithIt)
{
    frmPrefs::unload();
    auto *main = new QWidget;
    vx::setDialogOwner(main);
    QPointer<frmPrefs> first = frmPrefs::instance();
    ASSERT_EQ(first->parentWidget(), main);
    delete main;
    EXPECT_TRUE(first.isNull());
    // The next opener loads a new dialog over the new main window.
    main = new QWidget;
    vx::setDialogOwner(main);
    dlg = frmPrefs::instance();
    EXPECT_EQ(dlg->parentWidget(), main);
    EXPECT_EQ(dlg->cboPrefsPort->count(), 32);
    delete main;
    vx::setDialogOwner(nullptr);
    dlg = frmPrefs::instance();
}

TEST_F(PrefsDialog, HelpOpensTheTopicOfThePanelOnShow)
{
    const QString help = useEmptyHelpFile("prefs-help");
    ASSERT_FALSE(help.isEmpty());
    HelpCatcher catcher;
    dlg->show();
    for (int tab : {0, 1, 2, 3}) {
        dlg->NewTab(tab);
        QTest::mouseClick(dlg->cmdHelp, Qt::LeftButton);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    vx::setHelpFilePath(QString());
    EXPECT_EQ(catcher.opened,
              (QStringList{QStringLiteral("topic289"), QStringLiteral("topic294"), QStringLiteral("topic292"),
                           QStringLiteral("topic417")}));
}

#include "moc_HelpCatcher.cpp"
