#include "app/documents/ui/GridDocumentWindow.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/shell/ui/ToolbarState.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

int KeyAsciiOf(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
        return 9;
    default:
        return 0;
    }
}

GridDocumentWindow::GridDocumentWindow(QWidget *parent)
    : DocumentWindow(parent)
{
    vbalGrid1 = new GridEditor(this);
    vbalGrid1->setObjectName(QStringLiteral("vbalGrid1"));
    vbalGrid1->setHost(this);
    vbalGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtEdit = vbalGrid1->txtEdit;
    FontLoading = true;
    vbalGrid1->setFont(EditorFont());
    txtEdit->setFont(EditorFont());
    FontLoading = false;
    vbalGrid1->viewport()->installEventFilter(this);
    connect(vbalGrid1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { vbalGrid1_DblClick(index.row() + 1, index.column() + 1); });
    setFocusProxy(vbalGrid1);
    // The editor's right click is the window's, not the editor's own menu.
    txtEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtEdit, &QWidget::customContextMenuRequested, this, [this] { txtEdit_MouseUp(Qt::RightButton); });
}

WindowState GridDocumentWindow::state() const
{
    WindowState s;
    s.kind = kind();
    const QWidget *focus = focusWidget();
    if (focus == vbalGrid1)
        s.control = vx::ActiveControl::Grid;
    else if (qobject_cast<const QPlainTextEdit *>(focus) || qobject_cast<const QLineEdit *>(focus))
        s.control = vx::ActiveControl::TextBox;
    else if (focus)
        s.control = vx::ActiveControl::Other;
    const int sl = slot();
    s.dirty = sl >= 0 && sl < DocState.size() && DocState[sl].Dirty;
    const GridRows &rows = vbalGrid1->rows();
    s.grid.rows = rows.Rows();
    s.grid.selectionCount = vbalGrid1->SelectionCount();
    s.grid.selectedRow = vbalGrid1->SelectedRow();
    if (rows.exists(s.grid.selectedRow))
        s.grid.selectedRowIcon = rows.row(s.grid.selectedRow).icon;
    for (int i = 1; i <= s.grid.selectionCount; ++i) {
        const int r = vbalGrid1->SelectedRowByIndex(i);
        if (rows.exists(r))
            s.grid.selectedTexts.append(rows.row(r).text);
    }
    // The cell editor or a word box: Cut, Copy, Delete and Select All follow it.
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(focus)) {
        s.textBox.selLength = static_cast<int>(box->textCursor().selectedText().size());
        s.textBox.textEmpty = box->document()->isEmpty();
    } else if (const auto *line = qobject_cast<const QLineEdit *>(focus)) {
        s.textBox.selLength = static_cast<int>(line->selectedText().size());
        s.textBox.textEmpty = line->text().isEmpty();
    }
    return s;
}

bool GridDocumentWindow::SaveFile(const QString &path, QString *error)
{
    return vbalGrid1->SaveGridFile(path, error);
}

QString GridDocumentWindow::CodePageText() const
{
    QString text;
    for (const GridRow &row : vbalGrid1->rows().all())
        text += row.text + QLatin1Char('\n');
    return text;
}

bool GridDocumentWindow::LoadFile(const QString &path, QString *error)
{
    if (!vbalGrid1->LoadGridFile(path, error))
        return false;
    record().Dirty = false;
    return true;
}

bool GridDocumentWindow::EditCommand(EditAction action)
{
    switch (action) {
    case EditAction::Edit:
        vbalGrid1->StartEdit();
        return true;
    case EditAction::InsertAdd:
        vbalGrid1->InsertGridRow();
        MarkDocumentModified();
        return true;
    case EditAction::Comment:
        vbalGrid1->CommentGridRows();
        return true;
    case EditAction::Uncomment:
        vbalGrid1->UncommentGridRows();
        return true;
    case EditAction::HideShow: {
        const int p = vbalGrid1->SelectedRow();
        const int icon = vbalGrid1->rows().exists(p) ? vbalGrid1->rows().row(p).icon : kNoIcon;
        if (icon == kIconCollapsed)
            vbalGrid1->ExpandGridGroup();
        else if (icon == kIconExpanded || vbalGrid1->SelectionCount() > 1)
            vbalGrid1->CollapseGridRows();
        return true;
    }
    default:
        return focusWidget() == vbalGrid1 && vbalGrid1->EditCommand(action);
    }
}

void GridDocumentWindow::PrintListing()
{
    const QString fileName = record().FileName;
    PrintListingPages([this, &fileName](int lines) { return GridEditorListing(*vbalGrid1, fileName, lines); });
}

void GridDocumentWindow::EvalTxtHeight(int Row)
{
    vbalGrid1->FitRowHeight(Row);
}

void GridDocumentWindow::MarkDocumentModified()
{
    MarkModified();
}

void GridDocumentWindow::UpdateToolbarState()
{
    ::UpdateToolbarState();
}

void GridDocumentWindow::vbalGrid1_MouseUp(Qt::MouseButton Button, const QPoint &pos)
{
    const QModelIndex index = vbalGrid1->indexAt(pos);
    if (index.isValid()) {
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        if (col == 1 || col == 2) {
            vbalGrid1->setCellSelected(row, col, false);
            vbalGrid1->setCellSelected(row, 3, true);
        }
        if (col == 2) {
            const int icon = vbalGrid1->rows().row(row).icon;
            if (icon == kIconCollapsed)
                vbalGrid1->ExpandGridGroup();
            else if (icon == kIconExpanded)
                vbalGrid1->CollapseGridRows();
        }
    }
    if (Button != Qt::RightButton)
        UpdateFields();
    UpdateToolbarState();
    if (Button == Qt::RightButton)
        ShowContextMenu(this, PopupMenuName());
}

void GridDocumentWindow::txtEdit_MouseUp(Qt::MouseButton Button)
{
    UpdateToolbarState();
    // Only the dictionary's rules take chip commands at the caret.
    if (Button == Qt::RightButton && kind() == vx::WindowKind::Dictionary && focusWidget() == txtEdit)
        ShowContextMenu(this, QStringLiteral("mnuSoundsLike"));
}

QString GridDocumentWindow::PopupMenuName() const
{
    return kind() == vx::WindowKind::Dictionary ? QStringLiteral("mnuDictionary") : QStringLiteral("mnuMusic");
}

void GridDocumentWindow::vbalGrid1_DblClick(int Row, int Col)
{
    if (Col != 1 && Col != 2)
        return;
    vbalGrid1->setCellSelected(Row, Col, false);
    vbalGrid1->setCellSelected(Row, 3, true);
    if (Col == 1)
        vbalGrid1->DissolveGridGroup();
}

bool GridDocumentWindow::vbalGrid1_KeyDown(int KeyCode)
{
    switch (KeyCode) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int p = vbalGrid1->SelectedRow();
        // Enter on a group header adds nothing.
        if (!vbalGrid1->rows().exists(p) || vbalGrid1->rows().row(p).itemData <= 0) {
            vbalGrid1->InsertGridRow();
            MarkDocumentModified();
        }
        return true;
    }
    default:
        return false;
    }
}

bool GridDocumentWindow::InsertFirstRow()
{
    if (vbalGrid1->Rows() != 0)
        return false;
    vbalGrid1->InsertGridRow();
    MarkDocumentModified();
    return true;
}

void GridDocumentWindow::PreviewKeys()
{
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

bool GridDocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (Form_KeyPress(KeyAsciiOf(key->key(), key->modifiers())))
            return true;
        if (watched == vbalGrid1 && !(key->modifiers() & Qt::ControlModifier) && vbalGrid1_KeyDown(key->key()))
            return true;
    } else if (event->type() == QEvent::MouseButtonRelease && watched == vbalGrid1->viewport()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        vbalGrid1_MouseUp(mouse->button(), mouse->position().toPoint());
    }
    return DocumentWindow::eventFilter(watched, event);
}

void GridDocumentWindow::resizeEvent(QResizeEvent *event)
{
    DocumentWindow::resizeEvent(event);
    Form_Resize();
}

void GridDocumentWindow::showEvent(QShowEvent *event)
{
    DocumentWindow::showEvent(event);
    Form_Resize();
}
