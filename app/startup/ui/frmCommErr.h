#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The communication-error dialog of the start-up: no chip answered. The
// user's choice lands in CommErrChoice: 1 Preferences, 2 Demo, 3 quit.
class frmCommErr : public QDialog
{
    Q_OBJECT
public:
    explicit frmCommErr(QWidget *parent = nullptr);

    // Shows a dialog with the message, modally over the main window, and
    // waits (yielding to the event loop) until a choice closes it. Returns
    // CommErrChoice. Closing it by its close box counts as Demo.
    static int ShowChoice(const QString &message);

    QLabel *lblCommErr = nullptr;
    QPushButton *cmdPrefs = nullptr;
    QPushButton *cmdDemo = nullptr;
    QPushButton *CmdCancel = nullptr;
    QPushButton *cmdHelp = nullptr;

    void cmdPrefs_Click();
    void cmdDemo_Click();
    void CmdCancel_Click();
    void cmdHelp_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void choose(int choice);
    // Makes the window's minimum size hold the whole message.
    void keepTextWhole();
};
