#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The frame the two notices share: an icon and a text above a line, a
// " Don't show again" box and OK below. A notice is shown modeless and its
// caller waits, with events flowing, until it is done; the close box ends the
// wait as OK does, so the caller can never be left waiting.
class NoticeDialog : public QDialog
{
    Q_OBJECT
public:
    QLabel *picIcon = nullptr;
    QCheckBox *chkDispWarning = nullptr;

protected:
    NoticeDialog(const char *name, const QString &caption, const QString &text, const char *labelName,
                 QWidget *parent);

    // Centres the notice over the main window, shows it and waits for Done.
    void ShowAndWait();
    // Ends the wait; called by OK and by the close box.
    void Done();
    // What OK does besides ending the wait.
    virtual void Accepted() {}

    void closeEvent(QCloseEvent *event) override;
    void reject() override;

    QLabel *mText = nullptr;
    QPushButton *mOk = nullptr;
    QVBoxLayout *mExtra = nullptr; // rows between the text and the line

private:
    bool mDone = false;
};
