#pragma once

// The grid line editor of the dictionary and music score windows: a table
// view over the grid rows (line number, group icon, line) with the cell
// editor txtEdit laid over the cell being edited.

#include "app/documents/GridRows.h"
#include "app/documents/WindowState.h"

#include <QPlainTextEdit>
#include <QTableView>

#include <vector>

class GridTableModel;

// What the window around a grid does for the grid's routines; the music
// score and dictionary windows implement it.
class GridHost
{
public:
    virtual ~GridHost() = default;
    // Sizes row Row to its text.
    virtual void EvalTxtHeight(int Row) = 0;
    // A dictionary window refreshes its word boxes from the selected row.
    virtual void UpdateFields() {}
    // Marks the window's document modified (one "*" behind its caption).
    virtual void MarkDocumentModified() = 0;
    virtual void UpdateToolbarState() {}
    // Lays the window out again after a file was loaded into the grid.
    virtual void Form_Resize() {}
    // The grid asks to edit a cell; the window may refuse (Cancel = true).
    virtual void vbalGrid1_RequestEdit(int Row, int Col, int KeyAscii, bool &Cancel)
    {
        (void)Row, (void)Col, (void)KeyAscii, (void)Cancel;
    }
    // A dictionary window hides its help text once a row was inserted, and
    // disables its Add button once rows were collapsed.
    virtual void GridRowInserted() {}
    virtual void GridRowsCollapsed() {}
};

// The in-place cell editor. Text pasted into it arrives as one line.
class GridCellEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

signals:
    void KeyDown(int KeyCode, int Shift);
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
};

class GridEditor : public QTableView
{
    Q_OBJECT
public:
    explicit GridEditor(QWidget *parent = nullptr);
    ~GridEditor() override;

    void setHost(GridHost *host) { mHost = host; }
    // Set by a dictionary window: the one check of a rule.
    void setRuleCheck(RuleCheck check) { mRuleCheck = std::move(check); }
    [[nodiscard]] bool isDictionary() const { return static_cast<bool>(mRuleCheck); }

    [[nodiscard]] const GridRows &rows() const { return mRows; }
    // The rows to change in place; refreshRows shows the change.
    [[nodiscard]] GridRows &mutableRows() { return mRows; }
    // Replaces every row, as a loaded file does: shows row 1 selected.
    void setRows(GridRows rows);
    // Shows the rows again after their cells or visibility changed in place.
    void refreshRows();

    // The grid's members the windows' routines use (rows and columns from 1; 0 means none).
    [[nodiscard]] int Rows() const { return mRows.Rows(); }
    [[nodiscard]] int SelectedRow() const;
    [[nodiscard]] int SelectionCount() const;
    [[nodiscard]] int SelectedRowByIndex(int i) const;
    void setCellSelected(int Row, int Col, bool selected);
    void EnsureVisible(int Row, int Col);
    [[nodiscard]] static QString ColumnKey(int Col);
    // Asks to edit the selected row's line, as typing F2 does.
    void StartEdit();
    // Ends an edit; the cell keeps its text.
    void CancelEdit();
    [[nodiscard]] bool isEditing() const { return mEditing; }
    // The height that the text of a cell needs at the column's width; 0 for
    // an empty cell.
    [[nodiscard]] int TextHeight(int Row, int Col) const;
    // Sizes a row to its text: what the windows' EvalTxtHeight does.
    void FitRowHeight(int Row);
    // FitRowHeight for every visible row.
    void FitRowHeights();

    // The shared grid routines.
    void FormatGridRow();
    void RenumberGridItemData();
    void InsertGridRow();
    void BeginGridCellEdit(int Row, int Col, int KeyAscii, bool &Cancel);
    void EndGridCellEdit(int KeyCode, int Shift);
    void CommentGridRows();
    void UncommentGridRows();
    void CollapseGridRows();
    void ExpandGridGroup();
    // Shows the members of the selected header's group and makes the header
    // an ordinary row; the former members keep their marks.
    void DissolveGridGroup();

    // Cut, Copy, Paste, Delete and Select All on the rows, through the
    // clipboard of this grid's kind; false for any other action.
    bool EditCommand(EditAction action);

    // Reads a grid file into the grid; false (and the reason) when the file
    // cannot be read, the grid then unchanged.
    bool LoadGridFile(const QString &path, QString *error = nullptr);
    // Writes the grid through a temporary file; false (and the reason) on failure.
    bool SaveGridFile(const QString &path, QString *error = nullptr) const;

    GridCellEditor *txtEdit = nullptr;
    // The cell being edited, or the last one that was.
    int lRowS = 0;
    int lColS = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void requestEdit(int Row, int Col, int KeyAscii);
    void txtEdit_KeyDown(int KeyCode, int Shift);
    void txtEdit_LostFocus();
    void changeComments(bool comment);
    void EvalTxtHeight(int Row);
    [[nodiscard]] bool isActiveControl() const;
    [[nodiscard]] std::vector<int> selectedRowList() const;
    void syncHiddenRows();
    void applyEditorFont();

    GridRows mRows;
    GridTableModel *mModel = nullptr;
    GridHost *mHost = nullptr;
    RuleCheck mRuleCheck;
    bool mEditing = false;
};
