#pragma once

// The music score window: one grid of score lines, edited in place, with a
// "Reference" link to the score language's symbols. Ctrl+P plays the score.

#include "app/documents/ui/GridDocumentWindow.h"

class QFrame;
class QLabel;

class frmMusic : public GridDocumentWindow
{
    Q_OBJECT
public:
    explicit frmMusic(QWidget *parent = nullptr);

    QWidget *picScore = nullptr;
    QFrame *shaMusicFrame = nullptr;
    QWidget *fraRefContainer = nullptr;
    QLabel *picReference = nullptr;
    QLabel *lblReference = nullptr;

    [[nodiscard]] vx::WindowKind kind() const override { return vx::WindowKind::Music; }
    [[nodiscard]] QString AskSaveFileName(const QString &initial) override;
    void Compile() override;

    void Form_Resize() override;
    void vbalGrid1_RequestEdit(int Row, int Col, int KeyAscii, bool &Cancel) override;
    bool Form_KeyPress(int KeyAscii) override;
    void lblReference_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Registers the music score window with the document registry.
void RegisterMusicDocuments();
