#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/shell/ui/frmSLCProgress.h"
#include "app/Globals.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Numbers.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

int visibleIcons(frmProgress *p)
{
    int n = 0;
    for (int i = 1; i <= 4; ++i)
        n += p->picProgress[i]->isVisibleTo(p) ? 1 : 0;
    return n;
}

} // namespace

TEST(ProgressDialogs, SetupReplacesEverything)
{
    ResetGlobals();
    frmMDI main;
    main.resize(800, 600);
    main.move(100, 50);
    main.show();

    frmProgress *p = frmProgress::instance();
    EXPECT_EQ(frmProgress::instance(), p);
    ProgressCancel = true;
    p->vbalProgress->setValue(70);
    p->ProgressSetup(3, true, QStringLiteral("Download"), QStringLiteral("Sending file"), QStringLiteral("Status"));
    EXPECT_TRUE(p->isVisible());
    EXPECT_FALSE(ProgressCancel);
    EXPECT_EQ(p->vbalProgress->value(), 0);
    EXPECT_EQ(p->vbalProgress->minimum(), 0);
    EXPECT_EQ(visibleIcons(p), 1);
    EXPECT_TRUE(p->picProgress[3]->isVisibleTo(p));
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Download"));
    EXPECT_EQ(p->lblProgressMsg->text(), QStringLiteral("Sending file"));
    EXPECT_EQ(p->lblProgressMsg1->text(), QStringLiteral("Status"));
    EXPECT_TRUE(p->cmdCancel->isVisibleTo(p));
    EXPECT_EQ(p->height(), vx::twipsToPixels(2600));
    EXPECT_EQ(p->cursor().shape(), Qt::BusyCursor);
    const int withCancel = p->height();

    // A second set-up without unloading: nothing of the first remains.
    p->ProgressSetup(0, false, QStringLiteral("Analysing"), QStringLiteral("a"), QString());
    EXPECT_EQ(visibleIcons(p), 0);
    EXPECT_FALSE(p->cmdCancel->isVisibleTo(p));
    EXPECT_EQ(withCancel - p->height(), vx::twipsToPixels(500));
    EXPECT_EQ(p->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Analysing"));
    EXPECT_EQ(p->lblProgressMsg1->text(), QString());
    // Centred over the main window.
    EXPECT_NEAR(p->frameGeometry().center().x(), main.frameGeometry().center().x(), 2);

    frmProgress::Unload();
    EXPECT_EQ(frmProgress::loaded(), nullptr);
    frmProgress::Unload(); // twice is harmless
}

TEST(ProgressDialogs, CancelRaisesTheRightFlags)
{
    ResetGlobals();
    frmProgress *p = frmProgress::instance();
    p->ProgressSetup(1, true, QStringLiteral("Convert"), QString(), QString());
    StopRequested = false;
    p->cmdCancel->click();
    EXPECT_TRUE(ProgressCancel);
    EXPECT_TRUE(StopRequested);
    EXPECT_TRUE(p->isVisible()); // the operation closes it
    frmProgress::Unload();

    ProgressCancel = true;
    StopRequested = false;
    frmSLCProgress *s = frmSLCProgress::instance();
    EXPECT_FALSE(ProgressCancel); // loading clears it
    EXPECT_EQ(s->windowTitle(), QStringLiteral("Compile Sound Library"));
    EXPECT_EQ(s->lblStatus->text(), QStringLiteral("Processing file 1 of 1"));
    s->show();
    s->cmdCancel->click();
    EXPECT_TRUE(ProgressCancel);
    EXPECT_FALSE(StopRequested);
    frmSLCProgress::Unload();
    EXPECT_EQ(frmSLCProgress::loaded(), nullptr);
    ProgressCancel = false;
}

TEST(ProgressDialogs, TheBarDrawsOnlyWhatChangesAndNotTooOften)
{
    struct Counter : QObject
    {
        int n = 0;
        int drawnValue = -1;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Paint) {
                ++n;
                drawnValue = static_cast<vbalProgressBar *>(o)->value();
            }
            return false;
        }
    };
    const auto shown = [](vbalProgressBar &bar, Counter &paints) {
        bar.show();
        bar.installEventFilter(&paints);
        QCoreApplication::processEvents();
        paints.n = 0;
    };

    // A transfer reports every block, most of them with the same figure.
    // Within one frame (here longer than any run) only the first is drawn.
    const int frame = vbalProgressBar::frameMs;
    vbalProgressBar::frameMs = 3'600'000;
    {
        vbalProgressBar bar;
        Counter paints;
        shown(bar, paints);
        for (int block = 0; block < 2000; ++block) {
            const int percent = block * 100 / 2000;
            bar.setValue(percent);
            bar.setText(QString::number(percent) + QLatin1Char('%'));
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(paints.n, 1) << "one drawing a frame";
    }
    vbalProgressBar::frameMs = frame;

    // A figure held back is drawn once its frame is over; the same figure
    // again draws nothing.
    vbalProgressBar bar;
    Counter paints;
    shown(bar, paints);
    bar.setValue(99);
    bar.setText(QStringLiteral("99%"));
    for (int turns = 0; paints.drawnValue != 99 && turns < 1000; ++turns)
        QTest::qWait(10);
    ASSERT_EQ(paints.drawnValue, 99) << "the last figure was never drawn";
    const int settled = paints.n;
    for (int i = 0; i < 100; ++i) {
        bar.setValue(99);
        bar.setText(QStringLiteral("99%"));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(paints.n, settled);
}
