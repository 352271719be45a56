#include "controls/splitter/Splitter.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace vx;

namespace {

// A host window 600 x 400 pixels filled by a splitter with two panes.
struct Host
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    Splitter *splitter = nullptr;
    QWidget *pane1 = nullptr;
    QWidget *pane2 = nullptr;
    QWidget *bar = nullptr;

    explicit Host(bool withPanes = true)
    {
        window->setObjectName(QStringLiteral("frmHost"));
        window->resize(600, 400);
        splitter = new Splitter(window.get());
        splitter->setObjectName(QStringLiteral("Splitter1"));
        splitter->setGeometry(0, 0, 600, 400);
        bar = splitter->findChild<QWidget *>(QStringLiteral("SplitterBar"));
        if (withPanes) {
            pane1 = new QWidget(splitter);
            pane1->setObjectName(QStringLiteral("picLeftPane"));
            pane2 = new QWidget(splitter);
            pane2->setObjectName(QStringLiteral("picRightPane"));
            splitter->setChild1(pane1);
            splitter->setChild2(pane2);
        }
        splitter->setSplitterWidth(60); // 4 pixels
        window->show();
        splitter->layoutChildren();
    }

    // One mouse move while a button is held: the bar has the mouse, so the
    // position is given inside the bar, wherever the bar is now.
    void moveTo(QPoint inSplitter) const { QTest::mouseMove(bar, bar->mapFrom(splitter, inSplitter)); }

    void drag(QPoint from, const std::initializer_list<QPoint> &path) const
    {
        QTest::mousePress(bar, Qt::LeftButton, {}, bar->mapFrom(splitter, from));
        for (const QPoint &p : path)
            moveTo(p);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFrom(splitter, *std::rbegin(path)));
    }
};

QColor pixelOf(QWidget *w)
{
    return w->grab().toImage().pixelColor(1, 1);
}

} // namespace

TEST(Splitter, PlacesPanesAndBarInBothOrientations)
{
    Host h;
    EXPECT_EQ(h.pane1->geometry(), QRect(0, 0, 298, 400));
    EXPECT_EQ(h.bar->geometry(), QRect(298, 0, 4, 400));
    EXPECT_EQ(h.pane2->geometry(), QRect(302, 0, 298, 400));

    h.splitter->setOrientation(splitHorizontal);
    EXPECT_EQ(h.pane1->geometry(), QRect(0, 0, 600, 198));
    EXPECT_EQ(h.bar->geometry(), QRect(0, 198, 600, 4));
    EXPECT_EQ(h.pane2->geometry(), QRect(0, 202, 600, 198));

    // The host resizes the control: the panes follow at once.
    h.splitter->resize(300, 200);
    EXPECT_EQ(h.pane1->geometry(), QRect(0, 0, 300, 98));
    EXPECT_EQ(h.pane2->geometry(), QRect(0, 102, 300, 98));
}

TEST(Splitter, PanesOutsideTheControlGetItsRectangleInTheirOwnCoordinates)
{
    QWidget window;
    window.resize(400, 300);
    Splitter s(&window);
    s.setGeometry(10, 20, 300, 200);
    QWidget a(&window), b(&window);
    a.setObjectName(QStringLiteral("picTopPane"));
    b.setObjectName(QStringLiteral("picBottomPane"));
    s.setSplitterWidth(60);
    s.setOrientation(splitHorizontal);
    s.setChild1(&a);
    s.setChild2(&b);
    EXPECT_EQ(a.geometry(), QRect(10, 20, 300, 98));
    EXPECT_EQ(b.geometry(), QRect(10, 122, 300, 98));
}

TEST(Splitter, MouseDragMovesTheBarAndThePanesFollowOnRelease)
{
    Host h;
    QSignalSpy resized(h.splitter, &Splitter::Resize);
    QTest::mousePress(h.bar, Qt::LeftButton, {}, QPoint(2, 200));
    h.moveTo(QPoint(280, 200));
    h.moveTo(QPoint(244, 210));
    // The bar's far edge sits on the pointer; the panes wait for the release.
    EXPECT_EQ(h.bar->geometry(), QRect(240, 0, 4, 400));
    EXPECT_EQ(h.splitter->SplitPercent(), 40);
    EXPECT_EQ(h.pane1->width(), 298);
    EXPECT_EQ(resized.count(), 0);

    QTest::mouseRelease(h.bar, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_EQ(resized.count(), 1);
    EXPECT_EQ(h.pane1->geometry(), QRect(0, 0, 238, 400));
    EXPECT_EQ(h.bar->geometry(), QRect(238, 0, 4, 400));
    EXPECT_EQ(h.pane2->geometry(), QRect(242, 0, 358, 400));
    EXPECT_EQ(h.splitter->SplitPercent(), 40);
}

TEST(Splitter, DragReadsBackRoundedHalvesToEven)
{
    Host h;
    // Bar left at 75 of 600 pixels: 12.5 %.
    h.drag(QPoint(300, 5), {QPoint(79, 5)});
    EXPECT_FLOAT_EQ(h.splitter->splitRatio(), 0.125f);
    EXPECT_EQ(h.splitter->SplitPercent(), 12);
    // 274 of 600: 45.67 %.
    h.drag(h.bar->geometry().center(), {QPoint(278, 5)});
    EXPECT_EQ(h.splitter->SplitPercent(), 46);
    // 99 of 600: 16.5000007 % as a single-precision ratio, nearer to 17.
    h.drag(h.bar->geometry().center(), {QPoint(103, 5)});
    EXPECT_EQ(h.splitter->SplitPercent(), 17);
}

TEST(Splitter, DragPastEitherEdgeStopsAtTheLimits)
{
    Host h;
    QTest::mousePress(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    h.moveTo(QPoint(-50, 100));
    EXPECT_EQ(h.bar->x(), -54); // the bar itself follows the mouse
    EXPECT_FLOAT_EQ(h.splitter->splitRatio(), 0.001f);
    EXPECT_EQ(h.splitter->SplitPercent(), 0);
    QTest::mouseRelease(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_GE(h.pane1->width(), 1);
    EXPECT_EQ(h.bar->x(), h.pane1->width());

    h.drag(QPoint(h.bar->x() + 2, 100), {QPoint(300, 100), QPoint(700, 100)});
    EXPECT_FLOAT_EQ(h.splitter->splitRatio(), 0.999f);
    EXPECT_EQ(h.splitter->SplitPercent(), 100);
    EXPECT_GE(h.pane2->width(), 1);
    EXPECT_EQ(h.pane2->x() + h.pane2->width(), 600);

    h.splitter->setOrientation(splitHorizontal);
    h.drag(h.bar->geometry().center(), {QPoint(300, -80)});
    EXPECT_FLOAT_EQ(h.splitter->splitRatio(), 0.001f);
    // 0.001 of 396 pixels is less than half a pixel.
    EXPECT_EQ(h.pane1->geometry(), QRect(0, 0, 600, 0));
    EXPECT_EQ(h.bar->geometry(), QRect(0, 0, 600, 4));
    h.drag(h.bar->geometry().center(), {QPoint(300, 900)});
    EXPECT_FLOAT_EQ(h.splitter->splitRatio(), 0.999f);
    EXPECT_EQ(h.pane2->geometry(), QRect(0, 400, 600, 0));
}

TEST(Splitter, OnlyTheLeftButtonAloneDrags)
{
    Host h;
    QTest::mousePress(h.bar, Qt::RightButton, {}, QPoint(2, 100));
    h.moveTo(QPoint(100, 100));
    QTest::mouseRelease(h.bar, Qt::RightButton, {}, QPoint(2, 100));
    EXPECT_EQ(h.splitter->SplitPercent(), 50);

    QTest::mousePress(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mousePress(h.bar, Qt::RightButton, {}, QPoint(2, 100));
    h.moveTo(QPoint(100, 100));
    QTest::mouseRelease(h.bar, Qt::RightButton, {}, QPoint(2, 100));
    QTest::mouseRelease(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_EQ(h.splitter->SplitPercent(), 50);
    EXPECT_EQ(h.pane1->width(), 298);
}

TEST(Splitter, SplitPercentOutOfRangeIsClamped)
{
    Host h;
    h.splitter->setSplitPercent(150);
    EXPECT_EQ(h.splitter->SplitPercent(), 100);
    EXPECT_EQ(h.pane1->width(), 596);
    EXPECT_EQ(h.pane2->width(), 0);
    h.splitter->setSplitPercent(-20);
    EXPECT_EQ(h.splitter->SplitPercent(), 0);
    EXPECT_EQ(h.pane1->width(), 0);
    EXPECT_EQ(h.pane2->geometry(), QRect(4, 0, 596, 400));
    h.splitter->setSplitterWidth(300);
    EXPECT_EQ(h.splitter->SplitterWidth(), 255);
}

TEST(Splitter, ResizeFiresOncePerLayout)
{
    Host h;
    QSignalSpy resized(h.splitter, &Splitter::Resize);
    QSignalSpy changed(h.splitter, &Splitter::PropertyChanged);

    h.splitter->setSplitPercent(30);
    h.splitter->setOrientation(splitHorizontal);
    h.splitter->setChild1(h.pane1);
    h.splitter->setChild2(h.pane2);
    h.splitter->resize(500, 300);
    EXPECT_EQ(resized.count(), 5);

    // Bar width and colour wait for the next layout.
    h.splitter->setSplitterWidth(150);
    h.splitter->setSplitterColor(0x0000FF);
    EXPECT_EQ(resized.count(), 5);
    EXPECT_EQ(h.bar->height(), 4);
    h.splitter->layoutChildren();
    EXPECT_EQ(resized.count(), 6);
    EXPECT_EQ(h.bar->height(), 10);

    QStringList names;
    for (const QList<QVariant> &args : changed)
        names << args.at(0).toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("SplitPercent"), QStringLiteral("Orientation"),
                                  QStringLiteral("Child1"), QStringLiteral("Child2"),
                                  QStringLiteral("SplitterWidth"), QStringLiteral("SplitterColor")}));
}

TEST(Splitter, ResizeFiresWithoutChildren)
{
    Host h(false);
    QSignalSpy resized(h.splitter, &Splitter::Resize);
    h.splitter->setSplitPercent(25);
    EXPECT_EQ(resized.count(), 1);
    EXPECT_EQ(h.bar->geometry(), QRect(149, 0, 4, 400));

    // A pane that goes away is simply skipped.
    Host g;
    delete g.pane1;
    QSignalSpy resized2(g.splitter, &Splitter::Resize);
    g.splitter->setSplitPercent(75);
    EXPECT_EQ(resized2.count(), 1);
    EXPECT_EQ(g.splitter->Child1(), nullptr);
    EXPECT_EQ(g.pane2->x(), 451);
}

TEST(Splitter, HandlerThatSetsSplitPercentDoesNotRecurse)
{
    Host h;
    int calls = 0;
    QObject::connect(h.splitter, &Splitter::Resize, [&] {
        ++calls;
        h.splitter->setSplitPercent(70); // unconditionally
        h.splitter->resize(h.splitter->size() - QSize(0, 1));
    });
    h.splitter->setSplitPercent(20);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(h.splitter->SplitPercent(), 70);
    EXPECT_EQ(h.pane1->width(), 417); // the correction is laid out
    EXPECT_EQ(h.pane1->height(), 399);
}

TEST(Splitter, HostClampSnapsADragPastTheEdge)
{
    Host h;
    int calls = 0;
    QObject::connect(h.splitter, &Splitter::Resize, [&] {
        ++calls;
        if (h.splitter->SplitPercent() < 5)
            h.splitter->setSplitPercent(5);
        else if (h.splitter->SplitPercent() > 95)
            h.splitter->setSplitPercent(95);
    });
    h.drag(QPoint(300, 5), {QPoint(-100, 5)});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(h.splitter->SplitPercent(), 5);
    EXPECT_EQ(h.pane1->width(), 30);
    EXPECT_EQ(h.bar->x(), 30);
}

TEST(Splitter, OrientationIsStoredAsAFlagAndChoosesTheCursor)
{
    Splitter s;
    QWidget *bar = s.findChild<QWidget *>(QStringLiteral("SplitterBar"));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    s.setOrientation(5);
    EXPECT_EQ(s.Orientation(), splitHorizontal);
    EXPECT_EQ(s.property("Orientation").toInt(), -1);
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeVerCursor);
    s.setOrientation(0);
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    // The setter takes a full Long: 65536 is non-zero, whatever its low 16 bits.
    EXPECT_TRUE(s.setProperty("Orientation", 65536));
    EXPECT_EQ(s.Orientation(), splitHorizontal);
}

TEST(Splitter, PersistedPropertiesAndTheirDefaults)
{
    Splitter fresh;
    EXPECT_EQ(fresh.Orientation(), splitVertical);
    EXPECT_EQ(fresh.SplitPercent(), 50);
    EXPECT_EQ(fresh.SplitterWidth(), 50);
    EXPECT_EQ(fresh.SplitterColor(), 0u);
    EXPECT_EQ(fresh.WriteProperties(), (QVariantMap{{QStringLiteral("SplitterWidth"), 50}}));

    // A saved form without keys reads the defaults, which are not written.
    Splitter saved;
    saved.ReadProperties({});
    EXPECT_EQ(saved.SplitterWidth(), 80);
    EXPECT_EQ(saved.SplitPercent(), 50);
    EXPECT_EQ(saved.Orientation(), splitVertical);
    EXPECT_TRUE(saved.WriteProperties().isEmpty());

    saved.setOrientation(splitHorizontal);
    saved.setSplitPercent(60);
    saved.setSplitterWidth(60);
    saved.setSplitterColor(0x00FF00);
    const QVariantMap bag = saved.WriteProperties();
    EXPECT_EQ(bag, (QVariantMap{{QStringLiteral("Orientation"), -1},
                                {QStringLiteral("SplitPercent"), 60},
                                {QStringLiteral("SplitterWidth"), 60}}));

    Splitter restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.Orientation(), splitHorizontal);
    EXPECT_EQ(restored.SplitPercent(), 60);
    EXPECT_EQ(restored.SplitterWidth(), 60);
    EXPECT_EQ(restored.SplitterColor(), 0u); // not persisted
}

TEST(Splitter, UnreadablePersistedValuesAreSkipped)
{
    Splitter s;
    s.ReadProperties({{QStringLiteral("Orientation"), QStringLiteral("-1")},
                      {QStringLiteral("SplitPercent"), QStringLiteral("30")},
                      {QStringLiteral("SplitterWidth"), QStringLiteral("20")}});
    EXPECT_EQ(s.Orientation(), splitHorizontal);
    EXPECT_EQ(s.SplitPercent(), 30);
    EXPECT_EQ(s.SplitterWidth(), 20);

    s.ReadProperties({{QStringLiteral("Orientation"), QStringLiteral("sideways")},
                      {QStringLiteral("SplitPercent"), 256},
                      {QStringLiteral("SplitterWidth"), -1}});
    EXPECT_EQ(s.Orientation(), splitHorizontal);
    EXPECT_EQ(s.SplitPercent(), 30);
    EXPECT_EQ(s.SplitterWidth(), 20);

    // A byte that is no percentage still fits: it is taken as 100.
    s.ReadProperties({{QStringLiteral("SplitPercent"), 150}});
    EXPECT_EQ(s.SplitPercent(), 100);
}

TEST(Splitter, BarColourAtRestAndWhileDragging)
{
    Host h;
    const QColor face = h.splitter->palette().color(QPalette::Button);
    EXPECT_EQ(pixelOf(h.bar), face);

    QTest::mousePress(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_EQ(pixelOf(h.bar), QColor(Qt::black));
    QTest::mouseRelease(h.bar, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_EQ(pixelOf(h.bar), face);

    h.splitter->setSplitterColor(Splitter::kButtonFace);
    EXPECT_EQ(pixelOf(h.bar), face);
    h.splitter->setSplitterColor(0x0000FF); // red in the low byte
    EXPECT_EQ(pixelOf(h.bar), QColor(255, 0, 0));
}

TEST(Splitter, ShowingTheHostRaisesNoResizeWhenTheSizeIsUnchanged)
{
    // A host that corrects the split in its Resize handler must not see one
    // just because its window appears: the size has not changed.
    QWidget window;
    window.resize(600, 400);
    Splitter s(&window);
    QWidget top(&window), bottom(&window);
    s.setChild1(&top);
    s.setChild2(&bottom);
    s.setOrientation(splitHorizontal);
    s.setSplitPercent(100);
    s.setSplitterWidth(0);
    s.setGeometry(0, 0, 600, 400); // hidden: Qt holds the resize back until shown
    QSignalSpy resized(&s, &Splitter::Resize);
    window.show();
    EXPECT_EQ(resized.count(), 1); // the held-back change of size
    EXPECT_EQ(top.geometry(), QRect(0, 0, 600, 400));

    window.hide();
    window.show();
    EXPECT_EQ(resized.count(), 1);
    s.resize(600, 300);
    EXPECT_EQ(resized.count(), 2);
    EXPECT_EQ(top.geometry(), QRect(0, 0, 600, 300));

    // Sized first and laid out by the setters: nothing is left for the show.
    QWidget window2;
    window2.resize(600, 400);
    Splitter s2(&window2);
    s2.setGeometry(0, 0, 600, 400);
    QWidget top2(&window2), bottom2(&window2);
    s2.setChild1(&top2);
    s2.setChild2(&bottom2);
    s2.setOrientation(splitHorizontal);
    s2.setSplitPercent(100);
    QSignalSpy resized2(&s2, &Splitter::Resize);
    window2.show();
    EXPECT_EQ(resized2.count(), 0);
    EXPECT_EQ(top2.height(), 397); // the bar of 50 twips still takes its 3 pixels
}
