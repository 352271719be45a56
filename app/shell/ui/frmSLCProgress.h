#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class vbalProgressBar;

// The sound library compiler's own progress window, driven by the compiler.
// Its Cancel raises ProgressCancel only.
class frmSLCProgress : public QDialog
{
    Q_OBJECT
public:
    explicit frmSLCProgress(QWidget *parent = nullptr);

    vbalProgressBar *vbalProgressFile = nullptr;
    vbalProgressBar *vbalProgressLib = nullptr;
    QLabel *lblCheck = nullptr;
    QLabel *lblConverting = nullptr;
    QLabel *lblWriting = nullptr;
    QLabel *imgCheckmark[3] = {};
    QLabel *lblStatus1 = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblProcessingFile = nullptr;
    QLabel *lblFileSize = nullptr;
    QLabel *lblStatus2 = nullptr;
    QLabel *Image1 = nullptr;
    QFrame *Line1 = nullptr;
    QFrame *Line2 = nullptr;
    QFrame *Line3 = nullptr;
    QFrame *Line4 = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Sets ProgressCancel; the compile ends itself.
    void cmdCancel_Click();

    // The window, loaded on first use: loading centres it over the main
    // window and clears ProgressCancel.
    static frmSLCProgress *instance();
    [[nodiscard]] static frmSLCProgress *loaded();
    static void Unload();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
};
