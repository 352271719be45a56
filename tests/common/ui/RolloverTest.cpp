// Hover highlighting: one hot control, kept while the pointer rests, gone
// at the first timer tick after it moved.
#include "common/ui/Rollover.h"

#include <QCursor>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QColor kHot(66, 142, 255);
const QColor kNormal(33, 93, 198);

bool looksHot(const QLabel &l) { return l.font().underline() && l.palette().color(QPalette::WindowText) == kHot; }

} // namespace

TEST(Rollover, OneHotControlUntilThePointerMoves)
{
    QTimer timer;
    vx::setRolloverHost(&timer);
    vx::resetRollover();
    QLabel a(QStringLiteral("a")), b(QStringLiteral("b"));

    QCursor::setPos(10, 10);
    SetRollover(&a);
    EXPECT_TRUE(looksHot(a));
    EXPECT_TRUE(timer.isActive());

    QCursor::setPos(11, 10);
    SetRollover(&a); // already hot: nothing changes
    EXPECT_TRUE(looksHot(a));
    EXPECT_TRUE(timer.isActive());

    SetRollover(nullptr); // a tick without motion keeps the highlight
    EXPECT_TRUE(looksHot(a));
    EXPECT_EQ(vx::rolloverHot(), &a);

    QCursor::setPos(40, 10);
    SetRollover(&b); // another control takes over
    EXPECT_FALSE(a.font().underline());
    EXPECT_EQ(a.palette().color(QPalette::WindowText), kNormal);
    EXPECT_TRUE(looksHot(b));

    QCursor::setPos(90, 90);
    SetRollover(nullptr); // the first tick after motion removes it
    EXPECT_FALSE(looksHot(b));
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(vx::rolloverHot(), nullptr);
    vx::setRolloverHost(nullptr);
}

TEST(Rollover, PicturesSwapOrChangeBackground)
{
    QPixmap normal(4, 4), hot(4, 4);
    normal.fill(Qt::black);
    hot.fill(Qt::white);
    QLabel tagged, plain;
    tagged.setPixmap(normal);
    tagged.setProperty("Tag", 2);
    plain.setPixmap(normal);

    vx::setRolloverHost(nullptr, vx::RolloverPictures::Swap, normal, hot);
    SetRolloverLook(&tagged, true);
    EXPECT_EQ(tagged.pixmap().toImage(), hot.toImage());
    SetRolloverLook(&tagged, false);
    EXPECT_EQ(tagged.pixmap().toImage(), normal.toImage());
    SetRolloverLook(&plain, true);
    EXPECT_EQ(plain.palette().color(QPalette::Window), plain.palette().color(QPalette::Button));

    // The download utility's look: no picture swap, whatever the Tag.
    vx::setRolloverHost(nullptr, vx::RolloverPictures::BackgroundOnly);
    SetRolloverLook(&tagged, true);
    EXPECT_EQ(tagged.pixmap().toImage(), normal.toImage());
    EXPECT_EQ(tagged.palette().color(QPalette::Window), tagged.palette().color(QPalette::Button));
    SetRolloverLook(&tagged, false);
    EXPECT_EQ(tagged.palette().color(QPalette::Window), tagged.palette().color(QPalette::Base));
}
