#pragma once

// The dictionary window: the rule grid with the word-entry panel at its
// right in the upper pane, the word list of a text file in the lower pane,
// the two divided by a splitter.

#include "app/documents/WordList.h"
#include "app/documents/ui/GridDocumentWindow.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace vx {
class Splitter;
}

class frmDictionary : public GridDocumentWindow
{
    Q_OBJECT
public:
    explicit frmDictionary(QWidget *parent = nullptr);

    vx::Splitter *Splitter1 = nullptr;
    QWidget *picTopPane = nullptr;
    QFrame *shaDicListFrame = nullptr;
    QPlainTextEdit *txtHelp = nullptr;
    QWidget *picDictControls = nullptr;
    QLabel *lblWord = nullptr;
    QLineEdit *txtWord = nullptr;
    QLabel *lblSoundsLike = nullptr;
    QLineEdit *txtSoundsLike = nullptr;
    QToolButton *picSayWord = nullptr;
    QToolButton *picSaySoundsLike = nullptr;
    QPushButton *cmdAdd = nullptr;
    QLabel *picReference = nullptr;
    QLabel *lblReference = nullptr;
    QLabel *lblTip = nullptr;
    QWidget *picBottomPane = nullptr;
    QTreeWidget *lvwWordList = nullptr;
    QFrame *shaWordListFrame = nullptr;
    QWidget *picSortBy = nullptr;
    QLabel *lblWordList3 = nullptr;
    QComboBox *cboSortMethod = nullptr;
    QLabel *lblWordList1 = nullptr;
    QLabel *lblWordList2 = nullptr;

    [[nodiscard]] vx::WindowKind kind() const override { return vx::WindowKind::Dictionary; }
    [[nodiscard]] QString AskSaveFileName(const QString &initial) override;
    void Compile() override;

    void Form_Resize() override;
    void vbalGrid1_RequestEdit(int Row, int Col, int KeyAscii, bool &Cancel) override;
    void GridRowInserted() override;
    bool Form_KeyPress(int KeyAscii) override;
    void picDictControls_MouseUp(Qt::MouseButton Button);
    void GridRowsCollapsed() override;

    // Word entry: the two boxes from the selected row, the Add button's
    // state, speaking either box, and adding the exception as a rule.
    void UpdateFields() override;
    void UpdateAddButton();
    void picSayWord_Click();
    void picSaySoundsLike_Click();
    void cmdAdd_Click();
    void lblReference_Click();
    void Splitter1_Resize();

    // The distinct words of a text file, listed in the lower pane.
    void CreateWordList(const QString &Filename);
    void cboSortMethod_Click();
    void lvwWordList_Click();
    void lvwWordList_DblClick();
    [[nodiscard]] const WordList &wordList() const { return mWords; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOutControls();
    void placeSortBy();
    void connectWordEntry();
    // The chip's transcription of s, read back directly; "" when none came.
    QString Transcribe(const QString &s);
    bool blnResizing = false;
    int mSortByLeft = 0; // where the sort list stands after the captions, in pixels
    QString mListName;    // the file name at the head of the list's caption
    QString mListCaption; // the caption whole; the row may show its name shortened
    WordList mWords;
};

// Registers the dictionary window with the document registry.
void RegisterDictionaryDocuments();
