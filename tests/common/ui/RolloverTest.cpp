// Hover highlighting: one hot control, kept while the pointer rests, gone
// at the first timer tick after it moved.
#include "common/ui/Rollover.h"

#include <QCursor>
#include <QFrame>
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
    const QColor ownText = a.palette().color(QPalette::WindowText);

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
    SetRollover(&b); // another control takes over; the first looks as it did
    EXPECT_FALSE(a.font().underline());
    EXPECT_EQ(a.palette().color(QPalette::WindowText), ownText);
    EXPECT_TRUE(looksHot(b));

    QCursor::setPos(90, 90);
    SetRollover(nullptr); // the first tick after motion removes it
    EXPECT_FALSE(looksHot(b));
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(vx::rolloverHot(), nullptr);
    vx::setRolloverHost(nullptr);

    // A link that was never hot is drawn normal as a link.
    QLabel link(QStringLiteral("link"));
    SetRolloverLook(&link, false);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), kNormal);
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
    // Hot, a control on the window background takes the button face; one on
    // the button face already a tint that shows.
    QPalette white = plain.palette();
    white.setColor(QPalette::Window, white.color(QPalette::Base));
    plain.setPalette(white);
    SetRolloverLook(&plain, true);
    EXPECT_EQ(plain.palette().color(QPalette::Window), plain.palette().color(QPalette::Button));
    SetRolloverLook(&plain, false);
    EXPECT_EQ(plain.palette().color(QPalette::Window), white.color(QPalette::Window));

    // The download utility's look: no picture swap, whatever the Tag.
    vx::setRolloverHost(nullptr, vx::RolloverPictures::BackgroundOnly);
    const QColor own = tagged.palette().color(QPalette::Window);
    ASSERT_EQ(own, tagged.palette().color(QPalette::Button));
    SetRolloverLook(&tagged, true);
    EXPECT_EQ(tagged.pixmap().toImage(), normal.toImage());
    EXPECT_NE(tagged.palette().color(QPalette::Window), own);
    SetRolloverLook(&tagged, false);
    EXPECT_EQ(tagged.palette().color(QPalette::Window), own);
    EXPECT_FALSE(tagged.autoFillBackground());
}

// A tab's frame and a caption show the hot look while the pointer rests on
// them, and look as they did before once it has gone.
TEST(Rollover, TheNormalLookIsTheOneBeforeThePointerCame)
{
    vx::setRolloverHost(nullptr);
    vx::resetRollover();
    QWidget form;
    form.resize(200, 100);
    auto *tab = new QFrame(&form);
    tab->setFrameShape(QFrame::StyledPanel);
    tab->setGeometry(10, 10, 80, 40);
    auto *caption = new QLabel(QStringLiteral("Sound Recorder"), &form);
    caption->setGeometry(100, 10, 90, 40);
    const QImage before = form.grab().toImage();
    QCursor::setPos(10, 10);
    for (QWidget *w : {static_cast<QWidget *>(tab), static_cast<QWidget *>(caption)}) {
        QCursor::setPos(QCursor::pos() + QPoint(5, 0));
        SetRollover(w);
        const QImage hot = form.grab().toImage();
        EXPECT_NE(hot.copy(w->geometry()), before.copy(w->geometry())) << w->metaObject()->className();
    }
    QCursor::setPos(QCursor::pos() + QPoint(5, 0));
    SetRollover(nullptr);
    EXPECT_EQ(form.grab().toImage(), before);
}
