#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Conversion Options": the tag, noise gate, boost and compression of one
// wave or MP3 conversion. Loaded once and only hidden between uses, so the
// gate, boost and compression choices carry over; the tag starts at "0" at
// every showing.
class frmPcmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit frmPcmOptions(QWidget *parent = nullptr);

    QGroupBox *Frame1 = nullptr;
    QLabel *lblTag = nullptr;
    QLineEdit *txtTag = nullptr;
    QLabel *lblGate = nullptr;
    QLineEdit *txtGate = nullptr;
    QCheckBox *chkBoost = nullptr;
    QCheckBox *chkCompress = nullptr;
    QLabel *lblMgmtTip = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    // True when the last showing ended with Cancel.
    bool OptionsCancelled = false;

    // Shows the dialog and waits until OK or Cancel. Fills in the four
    // options and returns true for OK, false for Cancel. A box that holds a
    // number too large for its width throws the overflow error
    // (vx::ComponentError).
    bool GetOptions(qint32 &Tag, qint16 &Gate, bool &Boost, bool &Comp);

    void cmdOK_Click();
    void cmdCancel_Click();
    void txtTag_Change();
    void txtGate_Change();

    // The dialog, loaded on first use; null after Unload.
    static frmPcmOptions *instance();
    [[nodiscard]] static frmPcmOptions *loaded();
    static void Unload();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
};
