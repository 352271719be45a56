#pragma once

// The phonetic-output window: the phonemes the chip reports in the phonetic
// receive mode. Never a document: closing it only hides it, and its place,
// size and visibility are kept for the next start.

#include "app/documents/ui/MdiChild.h"

class TextBox;

class frmPhonetic : public MdiChild
{
    Q_OBJECT
public:
    explicit frmPhonetic(QWidget *parent = nullptr);

    TextBox *txtInputBox = nullptr;

    [[nodiscard]] vx::WindowKind kind() const override { return vx::WindowKind::Phonetic; }
    [[nodiscard]] WindowState state() const override;
    void Form_Activate() override;

    // Close request: hidden while the program runs; when the program ends,
    // its visibility and geometry are stored.
    void Form_QueryUnload(bool &Cancel) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The phonetic-output window, created in slot 1 on first use.
frmPhonetic *PhoneticWindow();
