#pragma once

// The editor box of the text windows (txtInputBox): plain text, a length
// limit that typing, pasting and loading respect, and the text as the files
// and the chip routines take it (LF line breaks, every character kept).

#include <QPlainTextEdit>

// What an editor holds, as typed: LF line breaks (a Shift+Enter is one too),
// no other character changed.
[[nodiscard]] QString TypedText(const QPlainTextEdit &editor);

class TextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    // The most characters the box holds; a line break counts one.
    [[nodiscard]] qsizetype MaxLength() const { return mMaxLength; }
    void setMaxLength(qsizetype max) { mMaxLength = max; }

    // The text with LF line breaks (a Shift+Enter is one too), no other
    // character changed.
    [[nodiscard]] QString Text() const;
    // Replaces the text, cut to MaxLength.
    void setText(const QString &text);

    [[nodiscard]] int SelStart() const;
    [[nodiscard]] int SelLength() const;
    // Collapses the selection to where it began.
    void clearSelection();

    // Pastes the clipboard's text, as much as the limit leaves room for.
    void pasteLimited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    [[nodiscard]] qsizetype room() const;
    qsizetype mMaxLength = 0; // 0: no limit
};
