#pragma once

// What the dictionary and music score windows share: the rule or score grid
// vbalGrid1 with its cell editor txtEdit, the grid file behind it, and the
// grid's mouse and key events. The windows add their layout and keys.

#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/GridEditor.h"

class GridDocumentWindow : public DocumentWindow, public GridHost
{
    Q_OBJECT
public:
    explicit GridDocumentWindow(QWidget *parent = nullptr);

    GridEditor *vbalGrid1 = nullptr;
    GridCellEditor *txtEdit = nullptr;
    bool EditFinished = true;

    [[nodiscard]] WindowState state() const override;
    [[nodiscard]] bool SaveFile(const QString &path, QString *error) override;
    [[nodiscard]] QString CodePageText() const override;
    [[nodiscard]] bool LoadFile(const QString &path, QString *error) override;
    // The Edit and View commands on the grid: the row commands while the
    // grid is the active control, the others whatever has the focus.
    bool EditCommand(EditAction action) override;
    void PrintListing() override;

    // GridHost
    void EvalTxtHeight(int Row) override;
    void MarkDocumentModified() override;
    void UpdateToolbarState() override;

    // The grid's events, as the windows handle them.
    void vbalGrid1_MouseUp(Qt::MouseButton Button, const QPoint &pos);
    // Mouse up on the cell editor: the right button offers the chip commands.
    void txtEdit_MouseUp(Qt::MouseButton Button);
    // The context menu of the grid: "mnuDictionary" or "mnuMusic".
    [[nodiscard]] QString PopupMenuName() const;
    void vbalGrid1_DblClick(int Row, int Col);
    // Key down on the grid; true when the grid's own handling is off.
    bool vbalGrid1_KeyDown(int KeyCode);

protected:
    // The window's own keys, seen before its controls; true when swallowed.
    virtual bool Form_KeyPress(int KeyAscii) = 0;
    // Puts every control under the window's key preview.
    void PreviewKeys();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Enter in an empty grid: the first line, opened for editing.
    bool InsertFirstRow();
};

// The control characters the windows' keys are named by (Ctrl+P is 16).
[[nodiscard]] int KeyAsciiOf(int key, Qt::KeyboardModifiers modifiers);
