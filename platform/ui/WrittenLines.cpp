#include "platform/ui/WrittenLines.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vx {

namespace {

// Room a title bar takes beside its title: the window's icon and buttons.
constexpr int kTitleBarRoom = 150;
// The longest line a writer breaks by hand.
constexpr int kParagraphChars = 120;

QStringList writtenLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

int longestWrittenLine(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &line : writtenLines(text))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

} // namespace

void fitWrittenLines(QWidget *window, QLabel *label)
{
    QLayout *layout = window->layout();
    if (!layout)
        return;
    layout->activate();
    // What the window holds beside the label's text: icon, margins, spacing.
    const QMargins m = label->contentsMargins();
    const int around = window->width() - label->width() + m.left() + m.right() + 2 * label->margin();
    // A text in one piece is left to wrap where the window's own width puts
    // it; a pixel or two of slack, as the label's layout rounds the advances.
    const int lines = writtenLines(label->text()).size() < 2
                          ? 0
                          : around + longestWrittenLine(label->fontMetrics(), label->text()) + 2;
    const int title = window->fontMetrics().horizontalAdvance(window->windowTitle()) + kTitleBarRoom;
    // A written line of more than about 120 characters is a paragraph, meant
    // to wrap: it does not stretch the box across the screen.
    const int paragraph = around + kParagraphChars * label->fontMetrics().averageCharWidth();
    int width = std::max({window->width(), std::min(lines, paragraph), title});
    width = std::min(width, window->screen()->availableGeometry().width());
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalMinimumSize().height();
    window->setFixedSize(width, std::max(height, layout->totalMinimumSize().height()));
}

} // namespace vx
