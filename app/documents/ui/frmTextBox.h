#pragma once

// The text document window: one editor box holding a text to speak, record
// or save as a text file.

#include "app/documents/ui/DocumentWindow.h"

class TextBox;

class frmTextBox : public DocumentWindow
{
    Q_OBJECT
public:
    explicit frmTextBox(QWidget *parent = nullptr);

    TextBox *txtInputBox = nullptr;

    [[nodiscard]] vx::WindowKind kind() const override { return vx::WindowKind::Text; }
    [[nodiscard]] WindowState state() const override;

    [[nodiscard]] QString AskSaveFileName(const QString &initial) override;
    [[nodiscard]] bool SaveFile(const QString &path, QString *error) override;
    [[nodiscard]] QString CodePageText() const override;
    [[nodiscard]] bool LoadFile(const QString &path, QString *error) override;
    bool EditCommand(EditAction action) override;

    void txtInputBox_Change();
    // Shortcut keys; true when the key was used up here.
    bool txtInputBox_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    // The right button shows the window's context menu.
    void txtInputBox_MouseUp(Qt::MouseButton Button);

protected:
    [[nodiscard]] bool BusyBlocksClose() const override { return true; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool mLoading = false;
};

// The keys of the text and phonetic windows' box: Ctrl+V and Ctrl+X are the
// Edit menu's Paste and Cut (a paste takes what the box's limit leaves room
// for), Ctrl+R records the text once when the toolbar allows it and never
// reaches the box, Esc collapses the selection. True when the key was taken.
bool TextBoxKeyDown(TextBox *box, int KeyCode, Qt::KeyboardModifiers Shift);

// Registers the text window as the kind File > New > Text creates.
void RegisterTextDocuments();
