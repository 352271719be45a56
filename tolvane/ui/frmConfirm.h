#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The warning before a firmware image overwrites the chip's system or the
// recording memory is erased, with a switch that silences it. The caller
// sets G.ConfirmKind, writes the notice into lblWarning and calls Confirm.
class frmConfirm : public QDialog
{
    Q_OBJECT

public:
    explicit frmConfirm(QWidget *parent = nullptr);

    // Shows the dialog centred over its parent and waits, keeping the
    // program alive, until OK or Cancel; the close box counts as Cancel.
    // True for OK.
    bool Confirm();

    QLabel *picIcon;
    QLabel *lblWarning;
    QCheckBox *chkDispConfirm;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    int Answer = 0; // 0 none yet, 1 OK, 2 Cancel
    bool KeepShowing = true;

private:
    void Form_Load();
    void chkDispConfirm_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
};
