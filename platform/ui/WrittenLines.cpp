#include "platform/ui/WrittenLines.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QWidget>

#include <algorithm>

namespace vx {

namespace {

// Room a title bar takes beside its title: the window's icon and buttons.
constexpr int kTitleBarRoom = 150;
// The longest line a writer breaks by hand.
constexpr int kParagraphChars = 120;
// U+2060: no line break on either side, no width.
constexpr QChar kWordJoiner(0x2060);

QStringList words(const QString &text)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return text.split(space, Qt::SkipEmptyParts);
}

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
    const int screen = window->screen()->availableGeometry().width();
    int path = widestWholePath(label->fontMetrics(), label->text());
    if (path > 0 && around + path > screen) {
        // No line holds it: it breaks as Qt breaks it, and sizes nothing.
        label->setText(withoutJoiners(label->text()));
        path = 0;
    }
    const int paths = path > 0 ? around + path + 2 : 0;
    int width = std::max({window->width(), std::min(lines, paragraph), paths, title});
    width = std::min(width, screen);
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                   : layout->totalMinimumSize().height();
    window->setFixedSize(width, std::max(height, layout->totalMinimumSize().height()));
}

QString keepPathsWhole(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 4);
    qsizetype at = 0;
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(at, m.capturedStart() - at);
        QString w = m.captured();
        at = m.capturedEnd();
        if (!w.contains(QLatin1Char('/')) || w.contains(kWordJoiner)) {
            out += w;
            continue;
        }
        // Every place inside the word where a line may break, from its end
        // back, so that the positions still hold as joiners go in.
        QList<qsizetype> breaks;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, w);
        for (qsizetype b = finder.toNextBoundary(); b > 0 && b < w.size(); b = finder.toNextBoundary())
            breaks.prepend(b);
        for (qsizetype b : breaks)
            w.insert(b, kWordJoiner);
        out += w;
    }
    out += text.mid(at);
    return out;
}

QString withoutJoiners(const QString &text)
{
    return QString(text).remove(kWordJoiner);
}

int widestWholePath(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &w : words(text))
        if (w.contains(kWordJoiner))
            widest = std::max(widest, fm.horizontalAdvance(w));
    return widest;
}

} // namespace vx
