#include "app/shell/ui/EditCommands.h"

#include "app/Globals.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/shell/ui/ToolbarState.h"
#include "platform/TextFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>

namespace {

QColor fromBgr(int c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void setClipboardText(const QString &text)
{
    QClipboard *clip = QApplication::clipboard();
    clip->clear();
    clip->setText(text);
}

// The selection as the files take it: a line ended by Enter or by
// Shift+Enter is an LF, as in the text saved.
QString selectionText(const QTextCursor &cursor)
{
    return vx::normalizeLineBreaks(cursor.selectedText());
}

template <class Box> bool editTextBox(Box *box, EditAction action, qsizetype maxLength)
{
    QTextCursor cursor = box->textCursor();
    switch (action) {
    case EditAction::Copy:
        setClipboardText(selectionText(cursor));
        return true;
    case EditAction::Cut:
        if (!cursor.hasSelection() || box->isReadOnly())
            return true;
        setClipboardText(selectionText(cursor));
        cursor.removeSelectedText();
        return true;
    case EditAction::Delete:
        if (!box->isReadOnly())
            cursor.removeSelectedText();
        return true;
    case EditAction::Paste: {
        if (box->isReadOnly())
            return true;
        QString text = QApplication::clipboard()->text();
        if (maxLength > 0)
            text = text.left(maxLength);
        cursor.insertText(text);
        return true;
    }
    case EditAction::SelectAll:
        box->selectAll();
        return true;
    default:
        return false;
    }
}

} // namespace

bool EditTextControl(QWidget *control, EditAction action)
{
    if (auto *box = qobject_cast<TextBox *>(control)) {
        // The text windows' box keeps its limit: a paste takes what fits.
        if (action == EditAction::Paste) {
            if (!box->isReadOnly())
                box->pasteLimited();
            return true;
        }
        return editTextBox(box, action, 0);
    }
    if (auto *box = qobject_cast<QPlainTextEdit *>(control))
        return editTextBox(box, action, 0);
    if (auto *box = qobject_cast<QTextEdit *>(control))
        return editTextBox(box, action, 0);
    auto *line = qobject_cast<QLineEdit *>(control);
    if (!line)
        return false;
    switch (action) {
    case EditAction::Copy:
        setClipboardText(line->selectedText());
        return true;
    case EditAction::Cut:
        if (line->hasSelectedText() && !line->isReadOnly()) {
            setClipboardText(line->selectedText());
            line->del();
        }
        return true;
    case EditAction::Delete:
        if (line->hasSelectedText() && !line->isReadOnly())
            line->del();
        return true;
    case EditAction::Paste:
        line->paste(); // keeps to the box's own limit
        return true;
    case EditAction::SelectAll:
        line->selectAll();
        return true;
    default:
        return false;
    }
}

void RunEditCommand(EditAction action)
{
    bool done = false;
    if (DocumentWindow *doc = ActiveDocument())
        done = doc->EditCommand(action);
    if (!done) {
        QWidget *focus = QApplication::focusWidget();
        done = focus && EditTextControl(focus, action);
    }
    if (done)
        UpdateToolbarState();
}

namespace {
std::function<void(QWidget *, QMenu *)> &popupDriver()
{
    static std::function<void(QWidget *, QMenu *)> driver;
    return driver;
}
} // namespace

void setPopupMenuDriver(std::function<void(QWidget *owner, QMenu *menu)> driver)
{
    popupDriver() = std::move(driver);
}

void ShowPopupMenu(QWidget *owner, QMenu *menu)
{
    if (!menu)
        return;
    if (popupDriver()) {
        popupDriver()(owner, menu);
        return;
    }
    if (owner && !menu->parentWidget())
        menu->setParent(owner, menu->windowFlags());
    menu->exec(QCursor::pos());
}

void SetListViewAltRowColors(QWidget *listView, int colour1, int colour2)
{
    auto *view = qobject_cast<QAbstractItemView *>(listView);
    if (!view) {
        // A list shown in several views: each of them.
        if (listView) {
            for (QAbstractItemView *v : listView->findChildren<QAbstractItemView *>(Qt::FindDirectChildrenOnly))
                SetListViewAltRowColors(v, colour1, colour2);
        }
        return;
    }
    const bool report = qobject_cast<QTreeView *>(view) || qobject_cast<QTableView *>(view);
    const bool rows = view->model() && view->model()->rowCount() > 0;
    if (report && TblAltColor && rows) {
        QPalette pal = view->palette();
        pal.setColor(QPalette::Base, fromBgr(colour1));
        pal.setColor(QPalette::AlternateBase, fromBgr(colour2));
        view->setPalette(pal);
        view->setAlternatingRowColors(true);
    } else {
        view->setAlternatingRowColors(false);
    }
    view->viewport()->update();
}
