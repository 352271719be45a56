// The main window's commands that reach beyond the documents: the chip's
// recording memory and greetings, window arrangement, help, the edit
// commands, Find and the word list. The menu table and dispatch are in
// frmMDI_Commands.cpp.
#include "app/startup/ui/frmMDI.h"

#include "app/Globals.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmFind.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/CompatRules.h"
#include "app/shell/MenuTable.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmAbout.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/ui/SoundConvert.h"
#include "app/soundlib/ui/SoundPreview.h"
#include "app/startup/Busy.h"
#include "app/startup/ChipLink.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/GreetingMessage.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/RealTimePlay.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/Speaking.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/Help.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/ui/Modal.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include <algorithm>
#include <iterator>

void frmMDI::mnuViewResetDialogs_Click()
{
    if (vx::MsgBox(vx::ResetNotificationsQuestion(), vx::Buttons::YesNo, vx::Icon::Question,
                   QStringLiteral("Reset Dialog Notifications"), 2) != vx::Answer::Yes)
        return;
    DisplaySV10Warning = true;
    DisplayCompatQuery = true;
    for (const vx::SettingWrite &w : vx::ResetNotificationWrites())
        vx::saveChosenSetting(QLatin1String(kAppName), QStringLiteral("Settings"), w.first, w.second);
}

// --- Utilities ------------------------------------------------------------------

void frmMDI::mnuUtilsRepairRecMem_Click()
{
    auto *label = mPanels ? mPanels->findChild<QLabel *>(QStringLiteral("lblProgressMsg")) : nullptr;
    if (label)
        label->clear();
    BeginBusy();
    frmProgress *progress = frmProgress::instance();
    progress->ProgressSetup(1, false, QStringLiteral("Recording Memory Repair"),
                            QStringLiteral("Repairing recording memory..."), QString());
    ProgressBar = progress->vbalProgress;
    QCoreApplication::processEvents();
    const bool recorder = PanelTab == 4;
    if (recorder && label) {
        label->setText(QStringLiteral("Repairing recording memory..."));
        label->setVisible(true);
        QCoreApplication::processEvents();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    try {
        if (!cTolv)
            throw LinkError(0, QStringLiteral("The chip link is not available."));
        cTolv->RepairRecMem();
    } catch (const LinkError &e) {
        error = e.description();
    }
    ProgressBar = nullptr;
    // A failed repair is reported whatever panel is shown.
    if (!error.isEmpty()) {
        if (label)
            label->clear();
        vx::MsgBox(QStringLiteral("ERROR: ") + error, vx::Buttons::Ok, vx::Icon::Exclamation);
    }
    EndBusy();
    QApplication::restoreOverrideCursor();
    frmProgress::Unload();
    QCoreApplication::processEvents();
    // The memory figures, and with them the state of this command, come
    // from the chip again.
    ControlPanels()->UpdateControls();
    if (label)
        label->setVisible(true);
    UpdateToolbarState();
}

void frmMDI::mnuUtilsGreeting_Click()
{
    const QString path = GetSaveGreetingFileName(QString());
    if (!path.isEmpty())
        CreateGreetingMessage(path);
}

// --- Window ---------------------------------------------------------------------

namespace {

// Minimised windows lined up along the bottom edge.
void lineUpMinimised(QMdiArea *mdi)
{
    const QRect area = mdi->viewport()->rect();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow *sub : mdi->subWindowList()) {
        if (!sub->isVisible() || !sub->isMinimized())
            continue;
        const QSize s = sub->size();
        if (x > 0 && x + s.width() > area.width()) {
            x = 0;
            y -= s.height();
        }
        sub->move(x, y - s.height());
        x += s.width();
    }
}

// The windows to arrange, shown normal, in the given order, and the room for
// them: the minimised windows keep their rows along the bottom, clear of it.
QList<QMdiSubWindow *> windowsToArrange(QMdiArea *mdi, QMdiArea::WindowOrder order, QRect &room)
{
    QList<QMdiSubWindow *> subs;
    bool icons = false;
    for (QMdiSubWindow *sub : mdi->subWindowList(order)) {
        if (sub->isVisible() && sub->isMinimized())
            icons = true;
        else if (sub->isVisible())
            subs.append(sub);
    }
    room = mdi->viewport()->rect();
    if (subs.isEmpty())
        return subs;
    if (icons) {
        lineUpMinimised(mdi);
        for (const QMdiSubWindow *sub : mdi->subWindowList()) {
            if (sub->isVisible() && sub->isMinimized())
                room.setBottom(std::min(room.bottom(), sub->y() - 1));
        }
    }
    for (QMdiSubWindow *sub : std::as_const(subs))
        sub->showNormal();
    return subs;
}

// A window whose content has a fixed size keeps its own size; invalid for the others.
QSize ownSize(const QMdiSubWindow *sub)
{
    const QWidget *w = sub->widget();
    return w && w->minimumSize() == w->maximumSize() ? sub->sizeHint() : QSize();
}

// The lowest a window may be and still be worked in: its caption, its frame
// and a few lines.
int leastHeight(const QMdiSubWindow *sub)
{
    constexpr int kLeastLines = 6;
    return sub->height() - sub->contentsRect().height() + kLeastLines * QFontMetrics(EditorFont()).lineSpacing();
}

} // namespace

// Each window a caption's height lower and to the right of the one behind it,
// the active one in front, all of the same size. When the steps would take the
// front windows too low to work in, they start again at the top, in as many
// columns as that needs, so that every caption stays in sight.
void frmMDI::mnuWindowCascade_Click()
{
    QRect area;
    QList<QMdiSubWindow *> subs = windowsToArrange(MDIClient, QMdiArea::StackingOrder, area);
    if (subs.isEmpty())
        return;
    QMdiSubWindow *active = MDIClient->activeSubWindow();
    if (subs.removeOne(active))
        subs.append(active);
    int step = 1;
    int least = 0;
    for (const QMdiSubWindow *sub : std::as_const(subs)) {
        step = std::max(step, sub->contentsRect().top());
        least = std::max(least, leastHeight(sub));
    }
    const int count = static_cast<int>(subs.size());
    const int fitting = std::clamp((area.height() - least) / step + 1, 1, count);
    const int columns = (count + fitting - 1) / fitting;
    const int perColumn = (count + columns - 1) / columns;
    const int lastLeft = area.width() * (columns - 1) / columns;
    const QSize common(area.width() - lastLeft - (perColumn - 1) * step, area.height() - (perColumn - 1) * step);
    for (int i = 0; i < count; ++i) {
        const QPoint at(area.width() * (i / perColumn) / columns + i % perColumn * step, i % perColumn * step);
        const QSize own = ownSize(subs[i]);
        // A window of fixed size keeps it, as far as the room goes.
        const QSize size = own.isValid() ? own.boundedTo(area.size() - QSize(at.x(), at.y()))
                                         : common.expandedTo(subs[i]->minimumSizeHint());
        subs[i]->setGeometry(QRect(area.topLeft() + at, size));
    }
    if (active && subs.contains(active))
        active->raise();
}

// Tiled horizontally: the windows one above the other, each the full width.
// A window whose content has a fixed size keeps its own size, the others share
// the rest of the height, as long as each of them still gets its caption and a
// few lines; else every window takes an equal share. When even an equal share
// is too low, the windows go into as many columns as that needs, so that none
// is ever out of sight or too low to work in.
void frmMDI::mnuWindowTile_Click()
{
    QRect area;
    const QList<QMdiSubWindow *> subs = windowsToArrange(MDIClient, QMdiArea::CreationOrder, area);
    if (subs.isEmpty())
        return;
    int least = 0; // the lowest a window may be and still be worked in
    int fixedHeight = 0;
    int sharing = 0;
    for (QMdiSubWindow *sub : subs) {
        least = std::max(least, leastHeight(sub));
        if (ownSize(sub).isValid())
            fixedHeight += ownSize(sub).height();
        else
            ++sharing;
    }
    if (fixedHeight + sharing * least <= area.height()) {
        const int h = sharing > 0 ? (area.height() - fixedHeight) / sharing : 0;
        int y = 0;
        for (QMdiSubWindow *sub : subs) {
            const QSize own = ownSize(sub);
            const QSize size = own.isValid() ? own : QSize(area.width(), h);
            sub->setGeometry(QRect(QPoint(0, y), size));
            y += size.height();
        }
        return;
    }
    const int count = static_cast<int>(subs.size());
    const int fitting = std::clamp(area.height() / std::max(least, 1), 1, count);
    const int columns = (count + fitting - 1) / fitting;
    const int perColumn = (count + columns - 1) / columns; // the columns as even as they go
    for (int i = 0; i < count; ++i) {
        const int column = i / perColumn;
        const int inColumn = std::min(perColumn, count - column * perColumn);
        const int row = i % perColumn;
        const int left = area.width() * column / columns;
        const int top = area.height() * row / inColumn;
        subs[i]->setGeometry(QRect(left, top, area.width() * (column + 1) / columns - left,
                                   area.height() * (row + 1) / inColumn - top));
    }
}

void frmMDI::mnuWindowArrange_Click()
{
    lineUpMinimised(MDIClient);
}

// --- Help -----------------------------------------------------------------------

// Without a compiled help viewer the index and the search open the contents.
void frmMDI::mnuHelpContents_Click()
{
    vx::showHelpTopic(0);
}

void frmMDI::mnuHelpIndex_Click()
{
    vx::showHelpTopic(0);
}

void frmMDI::mnuHelpSearch_Click()
{
    vx::showHelpTopic(0);
}

void frmMDI::mnuHelpAbout_Click()
{
    frmAbout about(this);
    vx::RunModal(&about);
}

void frmMDI::mnuHelpSwUpdate_Click()
{
    // One check at a time: a second request brings the open one forward.
    for (auto *open : findChildren<frmSwUpdate *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (open->isVisible()) {
            open->raise();
            open->activateWindow();
            return;
        }
    }
    auto *update = new frmSwUpdate(UpdateSite(), this);
    update->Form_Load();
}

void frmMDI::mnuHelpCVNHome_Click()
{
    // The number a failed start of an outside program is reported with.
    constexpr int kNoBrowserError = 429;
    if (!QDesktopServices::openUrl(QUrl(UpdateSite())))
        vx::MsgBox(QStringLiteral("Error # ") + QString::number(kNoBrowserError) + QStringLiteral(":\r\n\n") +
                   QStringLiteral("No web browser could be started."));
}

// --- Edit ---------------------------------------------------------------------

void frmMDI::mnuEditCut_Click()
{
    RunEditCommand(EditAction::Cut);
}

void frmMDI::mnuEditCopy_Click()
{
    RunEditCommand(EditAction::Copy);
}

void frmMDI::mnuEditPaste_Click()
{
    RunEditCommand(EditAction::Paste);
}

void frmMDI::mnuEditDelete_Click()
{
    RunEditCommand(EditAction::Delete);
}

void frmMDI::mnuEditSelectAll_Click()
{
    RunEditCommand(EditAction::SelectAll);
}

void frmMDI::mnuFilePrintSetup_Click()
{
    PrinterSetup();
}

void frmMDI::HelpButton_Click()
{
    int topic = 0;
    for (QWidget *w = QApplication::focusWidget(); w && topic == 0; w = w->parentWidget())
        topic = w->property("HelpTopic").toInt();
    vx::showHelpTopic(topic);
}

// --- Find and the word list --------------------------------------------------

void frmMDI::mnuEditFind_Click()
{
    FindText();
}

void frmMDI::mnuEditFindNext_Click()
{
    if (LastFindText.isEmpty())
        FindText();
    else
        GeneralFind(LastFindText);
}

void frmMDI::mnuUtilsWordList_Click()
{
    const QString path = GetWordListFileName();
    if (path.isEmpty())
        return;
    auto *dictionary = qobject_cast<frmDictionary *>(ActiveDocument());
    if (!dictionary) {
        // The New dictionary command, so the New button follows it.
        mnuFileNewDictionary_Click();
        dictionary = qobject_cast<frmDictionary *>(ActiveDocument());
    }
    if (dictionary)
        dictionary->CreateWordList(path);
}

// --- Playing and converting sound files ----------------------------------------

namespace {

void notSupported(const QString &path)
{
    vx::MsgBox(path + QStringLiteral(" is not a supported format. "), vx::Buttons::Ok, vx::Icon::Exclamation);
}

} // namespace

void frmMDI::mnuFilePlay_Click()
{
    const QString path = GetPlayFileName();
    if (path.isEmpty())
        return;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("pcm") || ext == QLatin1String("wav") || ext == QLatin1String("mp3")) {
        PlaySoundFile(path, false, 0, false);
    } else if (ext == QLatin1String("tgx")) {
        if (Port == 0)
            return;
        BeginBusy();
        QString name = path;
        PlayMusicOnChip(name);
        EndBusy();
    } else {
        notSupported(path);
    }
}

void frmMDI::mnuUtilsConvertSndFile_Click()
{
    StopRequested = false;
    const QString path = GetConvertFileName();
    if (path.isEmpty())
        return;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("pcm"))
        ConvertPcmFileToWave(path);
    else if (ext == QLatin1String("wav") || ext == QLatin1String("mp3"))
        ConvertSoundFileToPcm(path);
    else
        notSupported(path);
}
