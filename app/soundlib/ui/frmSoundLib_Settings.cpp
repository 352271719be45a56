// Sorting a sound library's list by a column header, and the tag, noise
// gate, Comp and Boost boxes of its properties panel.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/soundlib/SoundSort.h"
#include "app/soundlib/ui/LV_Header_Icon.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "common/TextUtil.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

// Hands the events of the settings boxes and their captions to the window.
class SettingsBoxEvents : public QObject
{
public:
    explicit SettingsBoxEvents(frmSoundLib *owner)
        : QObject(owner)
        , mOwner(owner)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override { return mOwner->settingsEvent(watched, event); }

private:
    frmSoundLib *mOwner;
};

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;

// What a box asks of the selected rows. A box the current row does not take
// (Boost of a chip PCM row) is off and says nothing: grey, leave as it is.
CheckState fromBox(const QCheckBox *box)
{
    if (!box->isEnabledTo(box->parentWidget()))
        return chkGrey;
    const Qt::CheckState s = box->checkState();
    return s == Qt::Checked ? chkChecked : s == Qt::PartiallyChecked ? chkGrey : chkUnchecked;
}

Qt::CheckState toQt(CheckState s)
{
    return s == chkChecked ? Qt::Checked : s == chkGrey ? Qt::PartiallyChecked : Qt::Unchecked;
}

// Keeps only the digits of a number box, the caret staying by what it followed.
void digitsOnly(QLineEdit *box)
{
    QString text = box->text();
    if (ForceDigitsOnly(text) == box->text())
        return;
    QString before = box->text().left(box->cursorPosition());
    const int caret = static_cast<int>(ForceDigitsOnly(before).size());
    const QSignalBlocker quiet(box);
    box->setText(text);
    box->setCursorPosition(caret);
}

// A click never makes a box grey: grey is only ever the sum of a selection.
void noGreyByClick(QCheckBox *box)
{
    if (box->checkState() == Qt::PartiallyChecked) {
        const QSignalBlocker quiet(box);
        box->setCheckState(Qt::Checked);
    }
}

const char kDesignRect[] = "DesignRect";

} // namespace

void SetHeaderIcon(QAbstractItemView *ListView, int Column, int ImageIndex, bool Show)
{
    if (!ListView)
        return;
    auto *m = qobject_cast<SoundLibModel *>(ListView->model());
    if (!m || Column < 0 || Column >= kSoundColumnCount)
        return;
    m->setHeaderArrow(Column, Show ? (ImageIndex == 1 ? 2 : 1) : 0);
}

void frmSoundLib::wireSettings()
{
    QHeaderView *header = lvwReport->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &frmSoundLib::lvwFileList_ColumnClick);

    auto *events = new SettingsBoxEvents(this);
    for (QLineEdit *box : {txtTag, txtGate}) {
        box->setProperty(kDesignRect, box->geometry());
        box->setFrame(false);
        box->installEventFilter(events);
    }
    for (QLabel *caption : {lblTag, lblGate})
        caption->installEventFilter(events);
    connect(txtTag, &QLineEdit::textChanged, this, &frmSoundLib::txtTag_Change);
    connect(txtGate, &QLineEdit::textChanged, this, &frmSoundLib::txtGate_Change);
    connect(chkCompress, &QCheckBox::clicked, this, &frmSoundLib::chkCompress_Click);
    connect(chkBoost, &QCheckBox::clicked, this, &frmSoundLib::chkBoost_Click);
}

bool frmSoundLib::settingsEvent(QObject *watched, QEvent *event)
{
    if (watched == lblTag || watched == lblGate) {
        if (event->type() == QEvent::MouseButtonRelease)
            (watched == lblTag ? txtTag : txtGate)->setFocus(Qt::MouseFocusReason);
        return false;
    }
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int ascii = key == Qt::Key_Return || key == Qt::Key_Enter ? kKeyEnter
            : key == Qt::Key_Escape                                     ? kKeyEscape
                                                                        : 0;
        if (ascii == 0)
            return false;
        return box == txtTag ? txtTag_KeyPress(ascii) : txtGate_KeyPress(ascii);
    }
    case QEvent::FocusIn: {
        // The box in focus stands out: a border, a little larger.
        const QRect design = box->property(kDesignRect).toRect();
        const int nudge = vx::twipsToPixels(25);
        box->setGeometry(design.adjusted(-nudge, -nudge, 0, vx::twipsToPixels(35) - nudge));
        box->setFrame(true);
        // A digit typed in the list has just become the text: the caret stays after it.
        if (!mTagFromList)
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        return false;
    }
    case QEvent::FocusOut: {
        box->setFrame(false);
        box->setGeometry(box->property(kDesignRect).toRect());
        // Only Enter stores what was typed: a box left otherwise shows what
        // the row holds. Another window or a menu over this one leaves it be.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            ShowStoredSetting(box);
        return false;
    }
    case QEvent::MouseButtonRelease:
        UpdateToolbarState();
        return false;
    default:
        return false;
    }
}

void frmSoundLib::lvwFileList_ColumnClick(int column)
{
    SortDescending = !SortDescending;
    ClearHeaderIcons();
    SetHeaderIcon(lvwReport, column, SortDescending ? 1 : 0, true);
    if (column != colFile)
        SortFileList(colFile, false);
    SortFileList(column, SortDescending);
    UpdateSoundLibTotals();
    UpdateToolbarState();
    lvwFileList->currentWidget()->setFocus();
}

void frmSoundLib::SortFileList(int column, bool descending)
{
    ::SortFileList(rows(), column, descending);
    cellsChanged();
    // The order is the library's order: every sound's index changed.
    markModified();
}

void frmSoundLib::txtTag_Change()
{
    digitsOnly(txtTag);
    UpdateToolbarState();
}

void frmSoundLib::txtGate_Change()
{
    digitsOnly(txtGate);
    UpdateToolbarState();
}

void frmSoundLib::ShowStoredSetting(QLineEdit *box)
{
    const int cur = currentRow();
    if (cur < 0 || cur >= rows().size())
        return;
    const SoundEntry &e = rows()[cur].entry;
    box->setText(QString::number(box == txtTag ? e.Tag : e.NoiseGate));
}

bool frmSoundLib::txtTag_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyEscape) {
        ShowStoredSetting(txtTag);
    } else if (KeyAscii == kKeyEnter) {
        ApplyTagToSelected();
        SetHeaderIcon(lvwReport, colTag, 0, false);
    } else {
        return false;
    }
    lvwFileList->currentWidget()->setFocus();
    return true;
}

bool frmSoundLib::txtGate_KeyPress(int KeyAscii)
{
    if (KeyAscii == kKeyEscape) {
        ShowStoredSetting(txtGate);
    } else if (KeyAscii == kKeyEnter) {
        const SettingsEdit edit = ApplyGateToSelected(rows(), selectedRows(), txtGate->text());
        if (edit.changed)
            markModified();
        else
            ShowStoredSetting(txtGate); // a gate too large is not taken
    } else {
        return false;
    }
    lvwFileList->currentWidget()->setFocus();
    return true;
}

void frmSoundLib::ApplyTagToSelected()
{
    const std::vector<bool> sel = selectedRows();
    const bool single = std::count(sel.begin(), sel.end(), true) == 1;
    const int row = single ? static_cast<int>(std::find(sel.begin(), sel.end(), true) - sel.begin()) : -1;
    const SettingsEdit edit =
        single ? ApplyTagToRow(rows(), row + 1, txtTag->text()) : NumberSelectedTags(rows(), sel, txtTag->text());
    if (edit.changed) {
        cellsChanged();
        markModified();
    }
    if (!edit.message.isEmpty()) {
        vx::MsgBox(edit.message, vx::Buttons::Ok, vx::Icon::Exclamation);
        if (single)
            txtTag->setText(QString::number(rows()[row].entry.Tag));
    }
}

void frmSoundLib::chkCompress_Click()
{
    noGreyByClick(chkCompress);
    if (SuppressCheckEvents || currentRow() < 0)
        return;
    ApplyCompressBoost();
    SetHeaderIcon(lvwReport, colMemUsed, 0, false);
    SetHeaderIcon(lvwReport, colComp, 0, false);
    markModified();
}

void frmSoundLib::chkBoost_Click()
{
    noGreyByClick(chkBoost);
    if (SuppressCheckEvents || currentRow() < 0)
        return;
    ApplyCompressBoost();
    SetHeaderIcon(lvwReport, colBoost, 0, false);
    markModified();
}

void frmSoundLib::ApplyCompressBoost()
{
    const SettingsEdit edit = ::ApplyCompressBoost(rows(), selectedRows(), fromBox(chkCompress), fromBox(chkBoost));
    if (edit.changed)
        cellsChanged();
    UpdateToolbarState();
    UpdateSoundLibTotals();
    lvwFileList->currentWidget()->setFocus();
}

void frmSoundLib::SyncCompressCheck()
{
    chkCompress->setCheckState(toQt(::SyncCompressCheck(rows(), selectedRows())));
}

void frmSoundLib::SyncBoostCheck()
{
    chkBoost->setCheckState(toQt(::SyncBoostCheck(rows(), selectedRows())));
}

void SyncCompressCheck()
{
    if (auto *w = qobject_cast<frmSoundLib *>(ActiveChild()))
        w->SyncCompressCheck();
}

void SyncBoostCheck()
{
    if (auto *w = qobject_cast<frmSoundLib *>(ActiveChild()))
        w->SyncBoostCheck();
}
