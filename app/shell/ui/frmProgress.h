#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class vbalProgressBar;

// The general progress dialog: modeless, one instance, prepared by
// ProgressSetup before a long operation and unloaded by that operation.
class frmProgress : public QDialog
{
    Q_OBJECT
public:
    explicit frmProgress(QWidget *parent = nullptr);

    vbalProgressBar *vbalProgress = nullptr;
    QLabel *picProgress[5] = {}; // elements 1 to 4; 0 unused
    QLabel *lblProgressMsg = nullptr;
    QLabel *lblProgressMsg1 = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Bar at 0, the icon (0 none, 1 to 4), Cancel shown or hidden, caption and
    // the two message lines; clears ProgressCancel, centres the window over
    // the main window and shows it.
    void ProgressSetup(int intIcon, bool blnShowCancel, const QString &strCaption, const QString &strProgressMsg,
                       const QString &strStatusMsg);

    // Sets ProgressCancel and StopRequested; the operation ends itself.
    void cmdCancel_Click();

    // The dialog, loaded on first use.
    static frmProgress *instance();
    // The loaded dialog, or null.
    [[nodiscard]] static frmProgress *loaded();
    // Closes and frees the dialog; nothing when it is not loaded.
    static void Unload();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
};
