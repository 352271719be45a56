#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Set Parameter": asks for the value of a chip command that is being
// inserted into a text, or, while the user prepares tones or picks a
// recording in the control panels, tells them what to do and waits for OK.
// Modeless, so the panels stay usable; one window, reused for each question.
class frmParmEntry : public QDialog
{
    Q_OBJECT
public:
    explicit frmParmEntry(QWidget *parent = nullptr);

    QLabel *lblCmdLabel = nullptr;
    QLineEdit *txtCmdParm = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *picArrow = nullptr;
    bool Cancelled = false;

    // Label is a parameter's name, "DO_TGN" (tones from the tone generator)
    // or "DO_REC" (a recording chosen in the sound recorder). Returns, after
    // OK, the text typed (so that the caller's range check sees what was
    // typed), the tone command box's text, or the recorder's file box; an
    // empty text after Cancel. An empty box confirmed with OK reads "0".
    QString GetParm(const QString &Label, int Limit);

    void cmdOK_Click();
    void cmdCancel_Click();

    // The prompt, loaded on first use.
    static frmParmEntry *instance();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void ArrangeForParameter(const QString &label);
    void ArrangeForInstructions(const QString &text);
    // Beside the control panel window, the arrow pointing at it.
    void PlaceBesidePanels();
};
