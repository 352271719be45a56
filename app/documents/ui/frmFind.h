#pragma once

// The modeless Find dialog: searches the active document forward from its
// selection, wrapping once to the beginning, and keeps the searched texts.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The text Edit > Find Next repeats ("" when there is none) and the options
// of the latest search (2 whole word, 4 match case).
inline QString LastFindText;
inline int FindOptions = 0;

class frmFind : public QDialog
{
    Q_OBJECT
public:
    explicit frmFind(QWidget *parent = nullptr);

    QCheckBox *chkMatchCase = nullptr;
    QCheckBox *chkWholeWord = nullptr;
    QComboBox *cboFindWhat = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdFindNext = nullptr;
    QLabel *lblFindWhat = nullptr;

    // The dialog, loaded on first use; null when not loaded.
    static frmFind *instance();
    [[nodiscard]] static frmFind *loaded();
    static void Unload();

    void cmdFindNext_Click();
    void cmdCancel_Click();
    void cboFindWhat_Change();

    // The history, newest first.
    [[nodiscard]] QStringList history() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void Form_Load();
};

// Opens the dialog for a new search, seeded from a text window's selection.
void FindText();
// Searches the active document for text with the dialog's options; shows
// the not-found message after both passes found nothing.
void GeneralFind(const QString &text);
