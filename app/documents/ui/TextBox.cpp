#include "app/documents/ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/TextFiles.h"

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QString TypedText(const QPlainTextEdit &editor)
{
    // toPlainText would turn no-break spaces into blanks; the raw text keeps
    // every character and marks line breaks as paragraph separators, and a
    // Shift+Enter as a line separator: both are the line break they show.
    return vx::normalizeLineBreaks(editor.document()->toRawText());
}

QString TextBox::Text() const
{
    return TypedText(*this);
}

void TextBox::setText(const QString &text)
{
    QString t = vx::normalizeLineBreaks(text);
    if (mMaxLength > 0 && t.size() > mMaxLength)
        t.truncate(mMaxLength);
    setPlainText(t);
}

int TextBox::SelStart() const
{
    return textCursor().selectionStart();
}

int TextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TextBox::clearSelection()
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.clearSelection();
    c.setPosition(start);
    setTextCursor(c);
}

qsizetype TextBox::room() const
{
    if (mMaxLength <= 0)
        return std::numeric_limits<qsizetype>::max();
    // characterCount() counts one separator too many at the end.
    const qsizetype used = document()->characterCount() - 1 - SelLength();
    return std::max<qsizetype>(0, mMaxLength - used);
}

void TextBox::pasteLimited()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (data && canInsertFromMimeData(data))
        insertFromMimeData(data);
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    QString text = vx::normalizeLineBreaks(source->text());
    const qsizetype free = room();
    if (text.size() > free)
        text.truncate(free);
    if (!text.isEmpty())
        insertPlainText(text);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool inserts = !typed.isEmpty() && !(event->modifiers() & Qt::ControlModifier) &&
                         (typed.front().isPrint() || typed.front() == QLatin1Char('\r') || typed.front() == QLatin1Char('\t'));
    if (inserts && room() < typed.size()) {
        event->accept(); // the box is full
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
