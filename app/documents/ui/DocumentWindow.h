#pragma once

// The text, sound library, dictionary and music score windows: a file behind
// each, a modified mark in the caption, and the same close prompt. Commands of
// the main window ask the active document through these virtuals, so no
// command tests which kind of window it has.

#include "app/documents/ui/MdiChild.h"

class DocumentWindow : public MdiChild
{
    Q_OBJECT
public:
    using MdiChild::MdiChild;

    // The save dialog of this kind, offering initial; "" when cancelled.
    [[nodiscard]] virtual QString AskSaveFileName(const QString &initial) = 0;
    // Writes the document to path through a temporary file; false and the
    // reason in *error on failure, the old file then untouched.
    [[nodiscard]] virtual bool SaveFile(const QString &path, QString *error) = 0;
    // What SaveFile stores in the Windows code page, where a character outside
    // it becomes "?"; empty for a file that keeps every character.
    [[nodiscard]] virtual QString CodePageText() const { return {}; }
    // Reads path into this new, empty window; false and the reason on failure.
    [[nodiscard]] virtual bool LoadFile(const QString &path, QString *error) = 0;

    virtual void Compile() {}
    virtual void PrintListing() {}
    // Carries out an Edit command on the active control; false when this
    // window has nothing to do for it.
    virtual bool EditCommand(EditAction action)
    {
        Q_UNUSED(action);
        return false;
    }

    // The registry's record of this window.
    [[nodiscard]] DocRecord &record() const;
    // The caption from the record: kind word, [name], and "*" when modified.
    void RefreshCaption();
    // Marks the document modified: "*" in the caption and, at once, Save on
    // the menus and the toolbar. Nothing happens when it already was.
    void MarkModified();

    // Close request: asks to save a modified document; Cancel stops the close
    // (and the program's close that may wait on it).
    void Form_QueryUnload(bool &Cancel) override;
    // The close went ahead: the slot is freed.
    void Form_Unload();

protected:
    // The text window stays open while it is spoken.
    [[nodiscard]] virtual bool BusyBlocksClose() const { return false; }
    void closeEvent(QCloseEvent *event) override;
};

// The name a caption shows for a file: the file part in proper case, or the
// bare "UntitledN" of a document never saved.
[[nodiscard]] QString CaptionName(const QString &fileName);
