// The control panel window against the in-process chip: the refresh follows
// the chip's mode, every control sends its command and reads it back, and a
// refresh sends nothing of its own.
#include "tests/app/panels/ui/PanelsFixture.h"

#include "app/documents/ui/DocumentWindow.h"
#include "app/shell/ui/EditorFont.h"

#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

using namespace panels_test;
class ControlPanels_ : public PanelsFixture
{
};

} // namespace

TEST_F(ControlPanels_, TheRefreshFollowsTheChipsCompatibilityMode)
{
    // The chip starts native: the wide ranges, eleven voices, the recorder.
    EXPECT_EQ(panels->cboVoices->count(), 11);
    EXPECT_EQ(panels->sldControls[1]->maximum(), 13);
    EXPECT_EQ(panels->sldControls[5]->maximum(), 99);
    EXPECT_TRUE(panels->lblCPanels[4]->isEnabled());
    EXPECT_EQ(statusPanel(2), QStringLiteral("SV3410 Emulation: Off"));
    EXPECT_EQ(statusPanel(3), QStringLiteral("Addressing Mode: Index"));
    EXPECT_EQ(panels->fraPOR->toolTip(), QStringLiteral("SV3420 command: 144g"));

    // Clearing S10 sends the register less 16; the refresh narrows the
    // controls, shows the registers and the notice once.
    panels->NewTab(4);
    panels->cmdPOR_Click(4);
    ASSERT_FALSE(chip->writeLog().isEmpty());
    EXPECT_EQ(chip->writeLog().first().bytes, live("128g"));
    EXPECT_EQ(letters(), QStringLiteral("go")); // the preset again, for the new ranges
    EXPECT_TRUE(chip->emulation());
    EXPECT_EQ(panels->cboVoices->count(), 8);
    EXPECT_EQ(panels->sldControls[1]->maximum(), 9);
    EXPECT_EQ(panels->sldControls[5]->maximum(), 9);
    EXPECT_FALSE(panels->lblCPanels[4]->isEnabled());
    EXPECT_EQ(PanelTab, 2);
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(statusPanel(2), QStringLiteral("SV3410 Emulation: On"));
    EXPECT_EQ(panels->cmdPOR[4]->text(), QStringLiteral("0"));

    panels->UpdateControls();
    EXPECT_EQ(warnings(), 1);

    // Loaded in emulation, the tone boxes are taken as that mode reads them:
    // a duration too long for the highest tone is lowered.
    panels->txtF1->setText(QStringLiteral("2746"));
    panels->txtDur->setText(QStringLiteral("16465"));
    panels->Form_Load();
    EXPECT_LT(panels->txtDur->text().toInt(), 16465);

    // Back to native: the list grows again, and the caption is the program's.
    main->setWindowTitle(QStringLiteral("Voxmere - emulating"));
    panels->cmdPOR_Click(4);
    EXPECT_EQ(panels->cboVoices->count(), 11);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
}

TEST_F(ControlPanels_, VoiceControlsSendLiveAndTheRefreshEchoesNothing)
{
    // A refresh without a mode change only reads the chip.
    panels->UpdateControls();
    EXPECT_EQ(letters(), QString());
    chip->clearLogs();

    // Releasing the Pitch slider at 60 sends once, and the tips show it.
    panels->sldControls[2]->setValue(60);
    ASSERT_EQ(chip->writeLog().size(), 1);
    EXPECT_EQ(chip->writeLog().first().bytes, live("60p"));
    EXPECT_EQ(panels->sldControls[2]->toolTip(), QStringLiteral("SV3420 command: 60p"));
    EXPECT_EQ(panels->lblControls[2]->toolTip(), QStringLiteral("SV3420 command: 60p"));
    EXPECT_EQ(chip->setting('p'), 60);

    // In character mode the delay takes "c"; a typed value beyond the
    // slider's range is held to it before it is sent.
    panels->cboMode->setCurrentIndex(2);
    panels->cboMode_Click();
    EXPECT_EQ(chip->statusRecord().mode(), 0);
    chip->clearLogs();
    QLineEdit *box = panels->txtControlBoxes[8];
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("99"));
    EXPECT_EQ(box->text(), QStringLiteral("15"));
    EXPECT_EQ(chip->writeLog().last().bytes, live("15c"));
    EXPECT_EQ(chip->statusRecord().charDelay(), 15);

    // The voice list reads back what the chip loaded.
    panels->cboVoices->setCurrentIndex(3);
    panels->cboVoices_Click();
    EXPECT_EQ(chip->setting('o'), 3);
    EXPECT_EQ(panels->cboVoices->currentIndex(), 3);
    EXPECT_EQ(panels->txtControlBoxes[2]->text(), QString::number(chip->setting('p')));

    // Restore defaults: No sends nothing; Yes with For10 resets and then
    // clears S10.
    chip->clearLogs();
    prompter.queue(vx::Answer::No);
    panels->picDefaults_Click();
    EXPECT_TRUE(chip->writeLog().isEmpty());
    For10 = true;
    prompter.queue(vx::Answer::Yes);
    panels->picDefaults_Click();
    ASSERT_GE(chip->writeLog().size(), 2);
    EXPECT_EQ(chip->writeLog()[0].bytes, live("@"));
    EXPECT_EQ(chip->writeLog()[1].bytes, live("-16g"));
    EXPECT_EQ(prompter.prompts().first().text, QStringLiteral("Restore the SV3420's default settings? "));
}

TEST_F(ControlPanels_, RecordingMemoryFiguresAndDemoMode)
{
    chip->setRecMemCorrupt(true);
    panels->UpdateControls();
    EXPECT_EQ(RecMemFree, -2);
    EXPECT_EQ(panels->lblRecMemUsed->text(), QStringLiteral("Memory used: unknown"));
    EXPECT_GE(panels->vbalRecMemUsed->maximum(), 1);
    EXPECT_EQ(panels->vbalRecMemUsed->value(), panels->vbalRecMemUsed->maximum());
    panels->NewTab(4);
    EXPECT_EQ(panels->lblProgressMsg->text(), QStringLiteral("Recording memory is corrupt"));

    // Without a chip a register click shows its command and sends nothing.
    Port = 0;
    chip->clearLogs();
    const QString before = panels->cmdPOR[3]->text();
    panels->cmdPOR_Click(3);
    EXPECT_NE(panels->cmdPOR[3]->text(), before);
    EXPECT_EQ(panels->fraPOR->toolTip(), QStringLiteral("SV3420 command: %1g").arg(GetRegisterValue(panels->cmdPOR)));
    panels->UpdateControls();
    EXPECT_TRUE(chip->writeLog().isEmpty());
}

// Tiled, the panels keep their size and nothing covers them; maximised, they
// sit at the top left.
TEST_F(ControlPanels_, TiledOrMaximisedThePanelsShowWhole)
{
    main->resize(880, 622);
    main->show();
    panels->SetVisible(true);
    auto *text = NewDocument(vx::WindowKind::Text);
    ASSERT_NE(text, nullptr);
    QApplication::processEvents();
    QWidget *frame = panels->frame();
    const QSize natural = frame->size();
    ASSERT_GT(natural.height(), main->MDIClient->viewport()->height() / 2); // more than a half share

    main->Item(QStringLiteral("mnuWindowTile"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(frame->size(), natural);
    EXPECT_GE(text->frame()->y(), frame->geometry().bottom());

    frame->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(panels->pos(), frame->contentsRect().topLeft());
}

// Tiled in a main window shorter than the panels, in a taller one with a
// dictionary up too, and with more windows than fit one above the other:
// every window is in sight, with room for a few lines of text.
TEST_F(ControlPanels_, TiledEveryWindowIsInSightWithRoomToWork)
{
    main->show();
    panels->SetVisible(true);
    NewDocument(vx::WindowKind::Text);
    NewDocument(vx::WindowKind::Text);
    const int fewLines = 6 * QFontMetrics(EditorFont()).lineSpacing();
    const auto tile = [this, fewLines](int height, vx::WindowKind more, int count) {
        for (int i = 0; i < count; ++i)
            NewDocument(more);
        main->resize(880, height);
        QApplication::processEvents();
        main->Item(QStringLiteral("mnuWindowTile"))->trigger();
        QApplication::processEvents();
        const QRect area = main->MDIClient->viewport()->rect();
        for (const QMdiSubWindow *sub : main->MDIClient->subWindowList()) {
            EXPECT_TRUE(area.contains(sub->geometry())) << height << " " << sub->windowTitle().toStdString();
            EXPECT_GE(sub->contentsRect().height(), fewLines) << height << " " << sub->windowTitle().toStdString();
        }
    };
    tile(480, vx::WindowKind::Text, 0);
    tile(622, vx::WindowKind::Dictionary, 1);
    tile(480, vx::WindowKind::Text, 5);

    // A minimised window keeps its place along the bottom, clear of the tiles.
    QMdiSubWindow *icon = main->MDIClient->subWindowList().constLast();
    icon->showMinimized();
    main->Item(QStringLiteral("mnuWindowTile"))->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(main->MDIClient->viewport()->rect().contains(icon->geometry()));
    for (const QMdiSubWindow *sub : main->MDIClient->subWindowList()) {
        if (sub != icon) {
            EXPECT_FALSE(sub->geometry().intersects(icon->geometry())) << sub->windowTitle().toStdString();
        }
    }
}

// Cascaded, each window stands a step lower and to the right of the one
// behind it and the active one is in front: every caption is in sight, the
// minimised windows keep their row, and in a short main window the steps start
// again at the top.
TEST_F(ControlPanels_, CascadedEveryCaptionIsInSight)
{
    main->resize(880, 622);
    main->show();
    panels->SetVisible(true);
    for (int i = 0; i < 3; ++i)
        NewDocument(vx::WindowKind::Text);
    const int fewLines = 6 * QFontMetrics(EditorFont()).lineSpacing();
    const auto cascade = [this, fewLines](const char *when) {
        main->Item(QStringLiteral("mnuWindowCascade"))->trigger();
        QApplication::processEvents();
        const QRect area = main->MDIClient->viewport()->rect();
        QList<QMdiSubWindow *> order; // back to front
        for (QMdiSubWindow *sub : main->MDIClient->subWindowList(QMdiArea::StackingOrder))
            if (sub->isVisible() && !sub->isMinimized())
                order.append(sub);
        for (int i = 0; i < order.size(); ++i) {
            const std::string name = std::string(when) + " " + order[i]->windowTitle().toStdString();
            EXPECT_TRUE(area.contains(order[i]->geometry())) << name;
            if (order[i] != panels->frame()) {
                EXPECT_GE(order[i]->contentsRect().height(), fewLines) << name;
            }
            const int caption = order[i]->contentsRect().top();
            const QPoint title = order[i]->pos() + QPoint(caption, caption / 2);
            for (int j = i + 1; j < order.size(); ++j)
                EXPECT_FALSE(order[j]->geometry().contains(title))
                    << name << " under " << order[j]->windowTitle().toStdString();
        }
        return order;
    };
    QMdiSubWindow *first = main->MDIClient->subWindowList()[1];
    ASSERT_EQ(first->windowTitle(), QStringLiteral("Text [Untitled1]"));
    main->MDIClient->setActiveSubWindow(first);
    const QList<QMdiSubWindow *> order = cascade("three");
    ASSERT_EQ(order.size(), 4);
    EXPECT_EQ(order.constLast(), first);
    const QPoint step = order[1]->pos() - order[0]->pos();
    EXPECT_GT(step.x(), 0);
    EXPECT_EQ(step.y(), step.x());
    for (int i = 1; i < order.size(); ++i)
        EXPECT_EQ(order[i]->pos() - order[i - 1]->pos(), step) << order[i]->windowTitle().toStdString();

    // A minimised window keeps its place along the bottom, clear of the others.
    QMdiSubWindow *icon = main->MDIClient->subWindowList()[2];
    icon->showMinimized();
    for (const QMdiSubWindow *sub : cascade("minimised")) {
        EXPECT_FALSE(sub->geometry().intersects(icon->geometry())) << sub->windowTitle().toStdString();
    }
    EXPECT_TRUE(main->MDIClient->viewport()->rect().contains(icon->geometry()));
    icon->showNormal();

    main->resize(880, 480);
    for (int count = 12; count <= 20; count += 8) {
        while (main->MDIClient->subWindowList().size() < count)
            NewDocument(vx::WindowKind::Text);
        EXPECT_EQ(cascade(count == 12 ? "twelve" : "twenty").size(), count);
    }
}
