#include "app/documents/ui/frmFind.h"

#include "app/documents/FindRules.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/GridDocumentWindow.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextCursor>

namespace {

QPointer<frmFind> gFind;

frmTextBox *activeTextWindow()
{
    return qobject_cast<frmTextBox *>(ActiveDocument());
}

QWidget *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow *>(w))
            return w;
    }
    return nullptr;
}

FindFlags currentFlags()
{
    FindFlags f;
    if (frmFind *d = frmFind::loaded()) {
        f.wholeWord = d->chkWholeWord->isChecked();
        f.matchCase = d->chkMatchCase->isChecked();
    } else {
        f.wholeWord = (FindOptions & 2) != 0;
        f.matchCase = (FindOptions & 4) != 0;
    }
    return f;
}

bool findInText(frmTextBox *w, const QString &text, FindFlags f)
{
    TextBox *box = w->txtInputBox;
    const auto hit = FindNextInText(box->Text(), box->SelStart(), box->SelLength(), text, f);
    box->setFocus();
    if (!hit)
        return false;
    QTextCursor c = box->textCursor();
    c.setPosition(static_cast<int>(hit->at));
    c.setPosition(static_cast<int>(hit->at + text.size()), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
    return true;
}

bool findInGrid(GridDocumentWindow *w, const QString &text, FindFlags f)
{
    GridEditor *grid = w->vbalGrid1;
    QStringList lines;
    for (const GridRow &row : grid->rows().all())
        lines.append(row.text);
    const int selected = grid->SelectedRow();
    const auto hit = FindNextLine(lines, selected, text, f);
    if (!hit)
        return false;
    const int r = static_cast<int>(hit->at);
    if (selected > 0)
        grid->setCellSelected(selected, 3, false);
    if (!grid->rows().row(r).visible) {
        const int header = static_cast<int>(
            GroupHeaderRow(r, [grid](qsizetype row) { return grid->rows().row(static_cast<int>(row)).itemData; }));
        if (header > 0) {
            // Expanding works on the grid's own selection while the grid has the focus.
            grid->setFocus();
            grid->setCellSelected(header, 3, true);
            grid->ExpandGridGroup();
            grid->setCellSelected(header, 3, false);
        }
        if (!grid->rows().row(r).visible) {
            // A member without a header: shown on its own rather than lost.
            grid->mutableRows().row(r).visible = true;
            grid->refreshRows();
        }
    }
    grid->setCellSelected(r, 3, true);
    grid->EnsureVisible(r, 3);
    w->UpdateFields();
    grid->setFocus();
    return true;
}

// The list's items by their first column (the sound's name); the search
// starts after the current item, from the first when there is none.
bool findInSoundList(frmSoundLib *w, const QString &text, FindFlags f)
{
    QStringList names;
    for (const SoundRow &row : w->rows())
        names.append(row.item.cells[0]);
    const auto hit = FindNextLine(names, w->currentRow() + 1, text, f);
    if (!hit)
        return false;
    w->selectOnly(static_cast<int>(hit->at) - 1);
    w->UpdateSoundLibTotals();
    w->lvwFileList->currentWidget()->setFocus();
    return true;
}

} // namespace

frmFind::frmFind(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    chkMatchCase = new QCheckBox(QStringLiteral(" &Case Sensitive"), this);
    chkWholeWord = new QCheckBox(QStringLiteral(" &Whole Word"), this);
    cboFindWhat = new QComboBox(this);
    cboFindWhat->setEditable(true);
    cboFindWhat->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is what is searched: no inline completion from the history.
    cboFindWhat->setCompleter(nullptr);
    cmdCancel = new QPushButton(QStringLiteral("Done"), this);
    cmdFindNext = new QPushButton(QStringLiteral("&Find Next"), this);
    cmdFindNext->setDefault(true);
    cmdFindNext->setEnabled(false);
    lblFindWhat = new QLabel(QStringLiteral("Fi&nd What:"), this);
    lblFindWhat->setBuddy(cboFindWhat);

    lblFindWhat->setGeometry(8, 12, 70, 20);
    cboFindWhat->setGeometry(80, 10, 220, 24);
    chkWholeWord->setGeometry(80, 42, 160, 20);
    chkMatchCase->setGeometry(80, 64, 160, 20);
    cmdFindNext->setGeometry(312, 10, 90, 26);
    cmdCancel->setGeometry(312, 42, 90, 26);
    setFixedSize(412, 94);

    connect(cboFindWhat, &QComboBox::editTextChanged, this, [this] { cboFindWhat_Change(); });
    connect(cboFindWhat, &QComboBox::activated, this, [this] { cboFindWhat_Change(); });
    connect(cmdFindNext, &QPushButton::clicked, this, [this] { cmdFindNext_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    Form_Load();
}

void frmFind::Form_Load()
{
    if (const QWidget *main = mainWindow()) {
        const QRect inner = main->geometry();
        move(inner.left() + (inner.width() - width()) / 2, inner.top() + inner.height() - height());
    }
}

frmFind *frmFind::instance()
{
    if (!gFind)
        gFind = new frmFind(mainWindow());
    return gFind;
}

frmFind *frmFind::loaded()
{
    return gFind;
}

void frmFind::Unload()
{
    if (gFind) {
        gFind->close();
        delete gFind;
    }
}

QStringList frmFind::history() const
{
    QStringList h;
    for (int i = 0; i < cboFindWhat->count(); ++i)
        h.append(cboFindWhat->itemText(i));
    return h;
}

void frmFind::cboFindWhat_Change()
{
    cmdFindNext->setEnabled(!cboFindWhat->currentText().isEmpty());
}

void frmFind::cmdFindNext_Click()
{
    const QString text = cboFindWhat->currentText();
    GeneralFind(text);
    QStringList h = history();
    AddFindHistory(h, text);
    if (h.size() != cboFindWhat->count()) {
        cboFindWhat->insertItem(0, text);
        cboFindWhat->setCurrentIndex(0);
    }
}

void frmFind::cmdCancel_Click()
{
    LastFindText = cboFindWhat->currentText();
    hide();
}

void frmFind::reject()
{
    cmdCancel_Click();
}

void frmFind::closeEvent(QCloseEvent *event)
{
    cmdCancel_Click();
    event->accept();
}

void FindText()
{
    frmFind *d = frmFind::instance();
    if (frmTextBox *w = activeTextWindow()) {
        // From the box's own text, whose line breaks are those the search
        // runs on (the cursor's selected text has paragraph separators).
        const TextBox *box = w->txtInputBox;
        d->cboFindWhat->setEditText(box->Text().mid(box->SelStart(), box->SelLength()));
    }
    LastFindText.clear();
    d->cboFindWhat_Change();
    d->show();
    d->raise();
    d->activateWindow();
    d->cboFindWhat->setFocus();
}

void GeneralFind(const QString &text)
{
    const FindFlags f = currentFlags();
    FindOptions = FindOptionsValue(f);
    bool found = false;
    if (!text.isEmpty()) {
        if (auto *t = activeTextWindow())
            found = findInText(t, text, f);
        else if (auto *g = qobject_cast<GridDocumentWindow *>(ActiveDocument()))
            found = findInGrid(g, text, f);
        else if (auto *l = qobject_cast<frmSoundLib *>(ActiveDocument()))
            found = findInSoundList(l, text, f);
    }
    if (!found)
        vx::MsgBox(NotFoundMessage(text), vx::Buttons::Ok, vx::Icon::Information);
}
