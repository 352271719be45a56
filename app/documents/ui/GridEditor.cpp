#include "app/documents/ui/GridEditor.h"

#include "app/Globals.h"
#include "app/documents/GridClipboard.h"
#include "app/documents/GridFile.h"
#include "app/documents/ui/GridTableModel.h"
#include "app/documents/ui/TextBox.h"
#include "app/shell/ui/EditorFont.h"
#include "platform/Numbers.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>
#include <climits>

namespace {

// The character code a key gives, as the grid's edit request expects it:
// control characters for Ctrl+letter, Tab, Enter and Esc; 0 for keys that
// type nothing.
int keyAsciiOf(const QKeyEvent *e)
{
    const int key = e->key();
    if ((e->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    // Alt with a letter opens a menu; it never types into a rule.
    if ((e->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier)
        return 0;
    switch (key) {
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = e->text();
    if (text.size() != 1 || text[0].unicode() < 32 || text[0].unicode() == 127)
        return 0;
    return text[0].unicode();
}

// Drawing stays off for the life of the guard, so the grid repaints once.
// It gives back the grid's own setting, not what the grid only inherits:
// run while a window around it has drawing off (the document area switching
// maximised windows does), taking that as the grid's own would keep the grid
// off for good once the window turns drawing on again.
class RedrawOff
{
public:
    explicit RedrawOff(QWidget *w) : mWidget(w), mWasOff(w->testAttribute(Qt::WA_ForceUpdatesDisabled))
    {
        w->setUpdatesEnabled(false);
    }
    ~RedrawOff() { mWidget->setUpdatesEnabled(!mWasOff); }
    RedrawOff(const RedrawOff &) = delete;
    RedrawOff &operator=(const RedrawOff &) = delete;

private:
    QWidget *mWidget;
    bool mWasOff;
};

} // namespace

// --- the cell editor ---------------------------------------------------------

void GridCellEditor::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        const int shift = (event->modifiers() & Qt::ShiftModifier) ? 1 : 0;
        emit KeyDown(key == Qt::Key_Escape ? 27 : 13, shift);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void GridCellEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus for a moment, and a
    // switch to another program gives it back unchanged on return.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit LostFocus();
}

void GridCellEditor::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText())
        insertPlainText(SingleLineCellText(source->text()));
}

// --- the grid ------------------------------------------------------------------

GridEditor::GridEditor(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("vbalGrid1"));
    mModel = new GridTableModel(&mRows, this);
    setModel(mModel);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(true);
    setTextElideMode(Qt::ElideRight);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setColumnWidth(0, 40);
    setColumnWidth(1, 18);

    txtEdit = new GridCellEditor(viewport());
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setFrameShape(QFrame::NoFrame);
    txtEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtEdit->document()->setDocumentMargin(0);
    txtEdit->hide();
    connect(txtEdit, &GridCellEditor::KeyDown, this, &GridEditor::txtEdit_KeyDown);
    connect(txtEdit, &GridCellEditor::LostFocus, this, &GridEditor::txtEdit_LostFocus);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.column() == 2)
            requestEdit(index.row() + 1, 3, 0);
    });

    setFont(EditorFont());
    applyEditorFont();
}

GridEditor::~GridEditor() = default;

void GridEditor::applyEditorFont()
{
    txtEdit->setFont(font());
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
}

void GridEditor::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyEditorFont();
        FitRowHeights();
    }
}

void GridEditor::setRows(GridRows rows)
{
    CancelEdit();
    {
        const RedrawOff off(this);
        mModel->reset(std::move(rows));
        syncHiddenRows();
        if (Rows() > 0) {
            setCellSelected(Rows(), 3, false);
            setCellSelected(1, 3, true);
        }
    }
    if (Rows() > 0)
        EnsureVisible(1, 3);
    if (mHost) {
        mHost->UpdateFields();
        mHost->Form_Resize();
    } else {
        FitRowHeights();
    }
    setFocus();
}

void GridEditor::refreshRows()
{
    mModel->changedAll();
    syncHiddenRows();
}

void GridEditor::syncHiddenRows()
{
    const int rows = Rows();
    for (int r = 1; r <= rows; ++r) {
        const bool hide = !mRows.row(r).visible;
        if (isRowHidden(r - 1) != hide)
            setRowHidden(r - 1, hide);
    }
}

// --- grid members ---------------------------------------------------------------

std::vector<int> GridEditor::selectedRowList() const
{
    std::vector<int> out;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            out.push_back(r + 1);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

int GridEditor::SelectedRow() const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return 0;
    return current.row() + 1;
}

int GridEditor::SelectionCount() const
{
    return static_cast<int>(selectedRowList().size());
}

int GridEditor::SelectedRowByIndex(int i) const
{
    const std::vector<int> rows = selectedRowList();
    return i >= 1 && i <= static_cast<int>(rows.size()) ? rows[static_cast<size_t>(i - 1)] : 0;
}

void GridEditor::setCellSelected(int Row, int Col, bool selected)
{
    if (!mRows.exists(Row))
        return;
    const QModelIndex index = mModel->index(Row - 1, std::clamp(Col, 1, 3) - 1);
    if (selected)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    else
        selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void GridEditor::EnsureVisible(int Row, int Col)
{
    if (mRows.exists(Row))
        scrollTo(mModel->index(Row - 1, std::clamp(Col, 1, 3) - 1));
}

QString GridEditor::ColumnKey(int Col)
{
    return Col >= 1 && Col <= 3 ? QStringLiteral("c%1").arg(Col) : QString();
}

void GridEditor::StartEdit()
{
    const int row = SelectedRow();
    if (row > 0)
        requestEdit(row, 3, 0);
}

void GridEditor::CancelEdit()
{
    if (!mEditing)
        return;
    mEditing = false;
    const bool hadFocus = txtEdit->hasFocus();
    txtEdit->hide();
    if (hadFocus)
        setFocus();
}

int GridEditor::TextHeight(int Row, int Col) const
{
    if (!mRows.exists(Row) || Col == 2)
        return 0;
    const QString text = Col == 1 ? QString::number(Row) : mRows.row(Row).text;
    if (text.isEmpty())
        return 0;
    const QFontMetrics fm(Col == 1 ? GridLineNumberFont() : font());
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const int width = std::max(1, columnWidth(Col - 1) - margin);
    // Most lines fit: measuring their advance is far cheaper than wrapping.
    if (fm.horizontalAdvance(text) <= width)
        return fm.height();
    return fm.boundingRect(QRect(0, 0, width, INT_MAX), Qt::TextWordWrap, text).height();
}

void GridEditor::FitRowHeight(int Row)
{
    if (!mRows.exists(Row))
        return;
    int h = TextHeight(Row, 3);
    if (h == 0)
        h = TextHeight(Row, 1);
    if (rowHeight(Row - 1) != h + 4)
        setRowHeight(Row - 1, h + 4);
}

void GridEditor::FitRowHeights()
{
    const RedrawOff off(this);
    for (int r = 1; r <= Rows(); ++r) {
        if (mRows.row(r).visible)
            FitRowHeight(r);
    }
}

void GridEditor::EvalTxtHeight(int Row)
{
    if (mHost)
        mHost->EvalTxtHeight(Row);
    else
        FitRowHeight(Row);
}

bool GridEditor::isActiveControl() const
{
    const QWidget *host = dynamic_cast<QWidget *>(mHost);
    if (!host)
        host = window();
    return host->focusWidget() == this;
}

// --- the shared routines ------------------------------------------------------

void GridEditor::FormatGridRow()
{
    ::FormatGridRow(mRows);
    mModel->changedAll();
}

void GridEditor::RenumberGridItemData()
{
    ::RenumberGridItemData(mRows);
}

void GridEditor::InsertGridRow()
{
    int n = 0;
    {
        const RedrawOff off(this);
        const int p = SelectedRow();
        if (p >= 1)
            setCellSelected(p, 3, false);
        n = GridInsertPosition(mRows, p);
        mModel->insertRow(n, [&] { ::InsertGridRow(mRows, p); });
        mModel->changedAll();
        selectionModel()->setCurrentIndex(mModel->index(n - 1, 2),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        EvalTxtHeight(n);
    }
    EnsureVisible(n, 3);
    setFocus();
    StartEdit();
    if (mHost)
        mHost->GridRowInserted();
}

void GridEditor::requestEdit(int Row, int Col, int KeyAscii)
{
    bool cancel = false;
    if (mHost)
        mHost->vbalGrid1_RequestEdit(Row, Col, KeyAscii, cancel);
    if (!cancel)
        BeginGridCellEdit(Row, Col, KeyAscii, cancel);
}

void GridEditor::BeginGridCellEdit(int Row, int Col, int KeyAscii, bool &Cancel)
{
    if (!isActiveControl() || !mRows.exists(Row))
        return;
    if (RefusesGridEdit(Col, KeyAscii)) {
        Cancel = true;
        return;
    }
    const QRect cell = visualRect(mModel->index(Row - 1, Col - 1));
    txtEdit->setPlainText(KeyAscii != 0 ? QString(QChar(KeyAscii)) : mRows.row(Row).text);
    txtEdit->setGeometry(cell.left(), cell.top() - vx::twipsToPixels(20), cell.width() + vx::twipsToPixels(40),
                         cell.height() - vx::twipsToPixels(25));
    txtEdit->moveCursor(QTextCursor::End);
    mEditing = true;
    txtEdit->show();
    txtEdit->setFocus();
    lRowS = Row;
    lColS = Col;
    if (mHost)
        mHost->UpdateToolbarState();
}

void GridEditor::EndGridCellEdit(int KeyCode, int Shift)
{
    (void)Shift;
    if (!mEditing)
        return;
    if (KeyCode == 13) {
        // A pasted line break would make the cell two lines of the file.
        const QString text = SingleLineCellText(TypedText(*txtEdit));
        if (lColS == 3 && mRows.exists(lRowS) && text != mRows.row(lRowS).text) {
            mRows.row(lRowS).text = text;
            mModel->changedRow(lRowS);
            EvalTxtHeight(lRowS);
            if (mHost)
                mHost->MarkDocumentModified();
        }
        CancelEdit();
    } else if (KeyCode == 27) {
        CancelEdit();
    }
}

void GridEditor::txtEdit_KeyDown(int KeyCode, int Shift)
{
    if (!mEditing)
        return;
    EndGridCellEdit(KeyCode, Shift);
    if (KeyCode != 13 || !mRows.exists(lRowS))
        return;
    // The edited line takes its colour anew: comment, or a rule the check refuses.
    if (mHost)
        mHost->UpdateFields();
    RecolourGridRow(mRows.row(lRowS), mRuleCheck, false);
    mModel->changedRow(lRowS);
}

void GridEditor::txtEdit_LostFocus()
{
    if (!mEditing || ParmPromptOpen)
        return;
    CancelEdit();
    if (mHost)
        mHost->UpdateToolbarState();
}

void GridEditor::CommentGridRows()
{
    changeComments(true);
}

void GridEditor::UncommentGridRows()
{
    changeComments(false);
}

void GridEditor::changeComments(bool comment)
{
    const std::vector<int> selected = selectedRowList();
    if (selected.empty())
        return;
    if (isActiveControl()) {
        {
            const RedrawOff off(this);
            if (comment)
                ::CommentGridRows(mRows, selected);
            else
                ::UncommentGridRows(mRows, selected, mRuleCheck);
            mModel->changedAll();
        }
        if (mHost) {
            mHost->UpdateFields();
            mHost->MarkDocumentModified();
        }
    }
    setFocus();
}

void GridEditor::CollapseGridRows()
{
    if (!isActiveControl())
        return;
    {
        const RedrawOff off(this);
        if (!::CollapseGridRows(mRows, selectedRowList()))
            return;
        refreshRows();
    }
    if (mHost) {
        mHost->GridRowsCollapsed();
        mHost->MarkDocumentModified();
    }
}

void GridEditor::ExpandGridGroup()
{
    if (!isActiveControl())
        return;
    const int p = SelectedRow();
    {
        const RedrawOff off(this);
        const int n = ::ExpandGridGroup(mRows, p);
        if (n == 0)
            return;
        refreshRows();
        for (int k = 1; k < n; ++k)
            EvalTxtHeight(p + k);
    }
    if (mHost)
        mHost->MarkDocumentModified();
}

void GridEditor::DissolveGridGroup()
{
    const int p = SelectedRow();
    if (!mRows.exists(p) || mRows.row(p).itemData < 1)
        return;
    {
        const RedrawOff off(this);
        const int n = ::ExpandGridGroup(mRows, p);
        mRows.row(p).icon = kNoIcon;
        mRows.row(p).itemData = 0;
        ::FormatGridRow(mRows);
        refreshRows();
        for (int k = 1; k < n; ++k)
            EvalTxtHeight(p + k);
    }
    // Even a header of one row changes the file.
    if (mHost)
        mHost->MarkDocumentModified();
}

bool GridEditor::LoadGridFile(const QString &path, QString *error)
{
    GridRows rows;
    if (!::LoadGridFile(path, rows, mRuleCheck, error))
        return false;
    setRows(std::move(rows));
    return true;
}

bool GridEditor::SaveGridFile(const QString &path, QString *error) const
{
    return ::SaveGridFile(path, mRows, error);
}

// --- keys ---------------------------------------------------------------------------

void GridEditor::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() + 1 : 0;
    const int col = current.isValid() ? current.column() + 1 : 3;
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        if (row > 0)
            requestEdit(row, col, 0);
        return;
    }
    // Characters start an edit; of the control keys only those that the
    // edit refuses are offered, so Ctrl+C never types a control character.
    const int ascii = keyAsciiOf(event);
    if (row > 0 && (ascii >= 32 || (ascii != 0 && RefusesGridEdit(3, ascii)))) {
        requestEdit(row, col, ascii);
        // A typed character never searches the rows; the keys that start no
        // edit (Tab, Enter, Esc, Ctrl+letter) go on to the grid and window.
        if (mEditing || ascii >= 32)
            return;
    }
    QTableView::keyPressEvent(event);
}

// --- Edit commands ------------------------------------------------------------

bool GridEditor::EditCommand(EditAction action)
{
    QStringList &clip = isDictionary() ? ClipDicRows() : ClipMusicRows();
    switch (action) {
    case EditAction::Copy: {
        const std::vector<int> selected = selectedRowList();
        if (!selected.empty())
            clip = CopyGridRows(mRows, selected);
        return true;
    }
    case EditAction::Cut:
        EditCommand(EditAction::Copy);
        return EditCommand(EditAction::Delete);
    case EditAction::Delete: {
        const std::vector<int> selected = selectedRowList();
        if (selected.empty())
            return true;
        CancelEdit();
        GridRows rows = mRows;
        const int select = DeleteGridRows(rows, selected);
        {
            const RedrawOff off(this);
            mModel->reset(std::move(rows));
            syncHiddenRows();
            selectionModel()->clearSelection();
            if (select > 0)
                setCellSelected(select, 3, true);
        }
        FitRowHeights();
        if (mHost) {
            mHost->MarkDocumentModified();
            mHost->UpdateFields();
        }
        setFocus();
        return true;
    }
    case EditAction::Paste: {
        if (clip.isEmpty())
            return true;
        CancelEdit();
        GridRows rows = mRows;
        const int first = PasteGridRows(rows, SelectedRow(), clip, mRuleCheck);
        {
            const RedrawOff off(this);
            mModel->reset(std::move(rows));
            syncHiddenRows();
            selectionModel()->clearSelection();
            setCellSelected(first, 3, true);
        }
        FitRowHeights();
        EnsureVisible(first, 3);
        if (mHost) {
            mHost->UpdateFields();
            mHost->MarkDocumentModified();
        }
        setFocus();
        return true;
    }
    case EditAction::SelectAll: {
        const RedrawOff off(this);
        selectAll();
        return true;
    }
    default:
        return false;
    }
}
