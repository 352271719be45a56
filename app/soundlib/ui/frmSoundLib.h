#pragma once

// The sound library window: the list of a library's sounds in a list or a
// table view, the properties of the current sound, and the library's totals
// with the memory gauge. Row n of the list is row n of the window's slot in
// SoundLibEntries.

#include "app/documents/ui/DocumentWindow.h"
#include "app/shell/ListingText.h"
#include "app/soundlib/SoundEntry.h"

#include <QStringList>

#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QItemSelectionModel;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QStackedWidget;
class QToolBar;
class QAction;
class QTreeView;
class QAbstractItemView;
class SoundLibModel;

class frmSoundLib : public DocumentWindow
{
    Q_OBJECT
public:
    explicit frmSoundLib(QWidget *parent = nullptr);

    // Sum of the estimates of the rows that are sounds, in bytes.
    qint64 lngTotalSamples = 0;

    // The list: one model, shown as a list (icons of names) or a table.
    QStackedWidget *lvwFileList = nullptr;
    QListView *lvwList = nullptr;
    QTreeView *lvwReport = nullptr;
    SoundLibModel *model = nullptr;
    QFrame *shaFileListFrame = nullptr;
    QToolBar *tbFiles = nullptr;
    QAction *btnLView = nullptr;
    QAction *btnTView = nullptr;
    QAction *btnRefresh = nullptr;
    QLabel *txtHelp = nullptr;
    // Properties of the current row.
    QGroupBox *fraProperties = nullptr;
    QWidget *picProperties = nullptr;
    QLabel *picType = nullptr;
    QLabel *lblProperties = nullptr;
    QLabel *lblFile = nullptr;
    QLabel *lblFile1 = nullptr;
    QLabel *lblIndex = nullptr;
    QLabel *lblIndex1 = nullptr;
    QLabel *lblTag = nullptr;
    QLineEdit *txtTag = nullptr;
    QLabel *lblGate = nullptr;
    QLineEdit *txtGate = nullptr;
    QCheckBox *chkCompress = nullptr;
    QCheckBox *chkBoost = nullptr;
    QLabel *lblSRate = nullptr;
    QLabel *lblSRate1 = nullptr;
    QLabel *lblMemUsed = nullptr;
    QLabel *lblMemUsed1 = nullptr;
    // Library totals.
    QGroupBox *fraLibSummary = nullptr;
    QWidget *picMemStats = nullptr;
    QProgressBar *vbalMemUsed = nullptr;
    QLabel *lblMemSize = nullptr;
    QLabel *lblMemFiles = nullptr;

    [[nodiscard]] vx::WindowKind kind() const override { return vx::WindowKind::SoundLib; }
    [[nodiscard]] WindowState state() const override;

    [[nodiscard]] QString AskSaveFileName(const QString &initial) override;
    [[nodiscard]] bool SaveFile(const QString &path, QString *error) override;
    [[nodiscard]] bool LoadFile(const QString &path, QString *error) override;
    // File > Compile: CompileSoundLibrary (SoundLibCompile.cpp).
    void Compile() override;

    // The rows of this window's slot.
    [[nodiscard]] SoundRows &rows() const;
    // The current row (from 0), or -1.
    [[nodiscard]] int currentRow() const;
    // The selection state of every row, in list order.
    [[nodiscard]] std::vector<bool> selectedRows() const;
    // Makes row (from 0) the only selected row and the current one, scrolled into view.
    void selectOnly(int row);
    // True while the table (report) view shows.
    [[nodiscard]] bool isReportView() const;
    void setReportView(bool report);

    void Form_Resize();
    void ClearHeaderIcons();
    void UpdateSoundLibTotals();
    void ShowSoundFileProperties(const SoundEntry &R);
    void tbFiles_ButtonClick(QAction *Button);

    // Inserts the files below the current row, as the Add command and a drop
    // do; the last element of the list is the empty end mark and is skipped.
    void AddFilesToSoundLibrary(const QStringList &files);
    // Moves the selected rows below row target (from 0), as a drag of rows
    // dropped there does. Nothing moves when target is itself selected like
    // the current row.
    void MoveSelectedRowsTo(int target);

    void lvwFileList_ItemClick();
    void lvwFileList_MouseUp(Qt::MouseButton Button);
    void lvwFileList_DblClick();
    // True when the key was used up here.
    bool lvwFileList_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void lvwFileList_KeyUp(int KeyCode);
    void lvwFileList_OLEDragDrop(const QStringList &paths);

    // Adding files by dialog, re-inspecting them, finding moved files again
    // and opening a sound in the user's waveform editor.
    void AddSoundFiles();
    void CheckMissingSoundFiles();
    // Rows whose folder changed; 0 when the user cancelled.
    [[nodiscard]] int RelocateSoundFiles();
    // The chip PCM rows (only `row`, from 0, when given) take what their
    // files' headers say now, before a compile or a preview uses them.
    void JudgePcmRowsByHeader(int row = -1);
    void EditSoundFileExternally();
    bool EditCommand(EditAction action) override;
    // Cut, Copy, Paste, Delete and Select All on the rows, through the sound
    // clipboard; false when a text box of the window is to take them.
    bool RowsEditCommand(EditAction action);
    // The printed listing of the library, and printing it.
    [[nodiscard]] vx::Listing Listing(int linesPerPage) const;
    void PrintListing() override;
    // Opens the folder of the current row's file; a message when it is gone.
    void OpenSoundFileFolder();

    // Sorting by a column header: every click turns the direction over.
    bool SortDescending = false;
    void lvwFileList_ColumnClick(int column);
    void SortFileList(int column, bool descending);

    // The tag, noise gate, Comp and Boost boxes of the properties panel.
    void txtTag_Change();
    void txtGate_Change();
    void chkCompress_Click();
    void chkBoost_Click();
    // True when the key was used up here.
    bool txtTag_KeyPress(int KeyAscii);
    bool txtGate_KeyPress(int KeyAscii);
    void SyncCompressCheck();
    void SyncBoostCheck();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void wireList(QAbstractItemView *view);
    void startRowDrag(QAbstractItemView *view);
    void dragOverRows(QAbstractItemView *view, const QPoint &pos);
    [[nodiscard]] QAbstractItemView *activeView() const;
    void setAltRowColours();
    // Wires the header clicks and the settings boxes.
    void wireSettings();
    // Event of a settings box or its caption; true when used up.
    bool settingsEvent(QObject *watched, QEvent *event);
    void ApplyTagToSelected();
    void ApplyCompressBoost();
    // The tag or gate box shows the current row's stored value again.
    void ShowStoredSetting(QLineEdit *box);
    // The views show the rows' cells again, keeping the selection.
    void cellsChanged();
    void markModified();
    friend class SettingsBoxEvents;

    bool Resizing = false;
    bool mTagFromList = false; // a digit typed in the list moves the focus to the tag box
    std::vector<bool> ListSelSnapshot;
    QPoint mPressPos;
    bool mPressed = false;
};

// The sound files directly in a folder (sub-folders not entered), each path
// followed by a tab, in name order.
[[nodiscard]] QString AddFolderSoundFiles(const QString &folder);

// Repaints the bands of a sound library list (the colours are fixed: white
// and light grey, in the table view when the preference asks for them).


// The totals of the active window when it is a sound library.
void UpdateSoundLibTotals();

// The commands of the active window when it is a sound library.
void AddSoundFiles();
void CheckMissingSoundFiles();
void EditSoundFileExternally();
// The Comp (Boost) box of the active sound library from its selected rows.
void SyncCompressCheck();
void SyncBoostCheck();

// Registers the sound library window as the kind File > New > Sound Library
// creates and ".sfl" files open in.
void RegisterSoundLibDocuments();
