// The list of a sound library window: mouse and keys, rows dragged to a new
// place, and files and folders dropped on it.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/SoundRefresh.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace {

// The type of a drag of rows inside one window.
const QString kRowsMime = QStringLiteral("application/x-voxmere-sound-rows");

// An item of the main window's menus or toolbar that is there and enabled.
QAction *enabledMainItem(const char *name)
{
    frmMDI *main = frmMDI::instance();
    if (!main)
        return nullptr;
    QAction *a = main->findChild<QAction *>(QLatin1String(name));
    return a && a->isEnabled() ? a : nullptr;
}

} // namespace

QString AddFolderSoundFiles(const QString &folder)
{
    QString text;
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &f : files) {
        const QString lower = f.fileName().toLower();
        if (lower.endsWith(QLatin1String(".pcm")) || lower.endsWith(QLatin1String(".mp3")) ||
            lower.endsWith(QLatin1String(".wav")))
            text += f.absoluteFilePath() + QLatin1Char('\t');
    }
    return text;
}

void frmSoundLib::wireList(QAbstractItemView *view)
{
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->viewport()->setAcceptDrops(true);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

bool frmSoundLib::eventFilter(QObject *watched, QEvent *event)
{
    auto *view = qobject_cast<QAbstractItemView *>(watched);
    if (!view && watched->parent())
        view = qobject_cast<QAbstractItemView *>(watched->parent());
    if (!view || (view != lvwList && view != lvwReport))
        return DocumentWindow::eventFilter(watched, event);
    const bool onViewport = watched == view->viewport();

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (lvwFileList_KeyDown(k->key(), k->modifiers()))
            return true;
        if (k->key() == Qt::Key_P && k->modifiers() == Qt::ControlModifier) {
            if (QAction *play = enabledMainItem("Play"))
                play->trigger();
            UpdateSoundLibTotals();
            return true;
        }
        // Typed characters do not jump to a row.
        if (!k->text().isEmpty() && k->text().at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier))
            return true;
        return false;
    }
    case QEvent::KeyRelease:
        lvwFileList_KeyUp(static_cast<QKeyEvent *>(event)->key());
        return false;
    default:
        break;
    }
    if (!onViewport)
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(event);
        mPressed = m->button() == Qt::LeftButton;
        mPressPos = m->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(event);
        if (Resizing || !mPressed || m->buttons() != Qt::LeftButton)
            return false;
        if ((m->position().toPoint() - mPressPos).manhattanLength() < QApplication::startDragDistance())
            return false;
        if (m->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            return false;
        mPressed = false;
        startRowDrag(view);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        mPressed = false;
        lvwFileList_MouseUp(static_cast<QMouseEvent *>(event)->button());
        return false;
    }
    case QEvent::MouseButtonDblClick:
        QTimer::singleShot(0, this, [this] { lvwFileList_DblClick(); });
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *d = static_cast<QDragMoveEvent *>(event);
        const QMimeData *md = d->mimeData();
        if (md->hasFormat(kRowsMime) && d->source() == view) {
            d->acceptProposedAction();
            dragOverRows(view, d->position().toPoint());
        } else if (md->hasUrls() || md->hasText()) {
            d->setDropAction(Qt::CopyAction);
            d->accept();
        } else {
            d->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        model->setDropHighlight(-1);
        return true;
    case QEvent::Drop: {
        auto *d = static_cast<QDropEvent *>(event);
        const QMimeData *md = d->mimeData();
        if (md->hasFormat(kRowsMime)) {
            const int target = model->dropHighlight();
            if (target >= 0)
                MoveSelectedRowsTo(target);
            model->setDropHighlight(-1);
            ClearHeaderIcons();
            d->acceptProposedAction();
            return true;
        }
        QStringList paths;
        for (const QUrl &u : md->urls()) {
            if (u.isLocalFile())
                paths << u.toLocalFile();
        }
        d->setDropAction(Qt::CopyAction);
        d->accept();
        lvwFileList_OLEDragDrop(paths);
        return true;
    }
    default:
        return false;
    }
}

void frmSoundLib::lvwFileList_ItemClick()
{
    if (slot() >= 0)
        ActiveDocIndex = slot();
}

void frmSoundLib::lvwFileList_MouseUp(Qt::MouseButton Button)
{
    if (!qobject_cast<frmSoundLib *>(ActiveChild()))
        return;
    UpdateToolbarState();
    // A right click selects the row too: its properties show before the menu
    // acts on it.
    if (!rows().isEmpty()) {
        const int cur = currentRow();
        if (cur >= 0)
            ShowSoundFileProperties(rows()[cur].entry);
    }
    if (Button == Qt::RightButton)
        ShowContextMenu(this, QStringLiteral("mnuSoundLib"));
}

void frmSoundLib::lvwFileList_DblClick()
{
    const int cur = currentRow();
    if (rows().isEmpty() || cur < 0 || rows()[cur].entry.Kind == sfkNotSound)
        return;
    if (Port == 0 && AudioPlayer == 0)
        return; // chip playback chosen, but no chip
    if (AudioDblClk != 0) {
        if (QAction *edit = enabledMainItem("Edit"))
            edit->trigger();
    } else if (QAction *play = enabledMainItem("Play")) {
        play->trigger();
    }
    activeView()->setFocus();
}

bool frmSoundLib::lvwFileList_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    if (rows().isEmpty())
        return false;
    if (KeyCode == Qt::Key_Delete) {
        if (QAction *del = enabledMainItem("mnuEditDelete"))
            del->trigger();
        return true;
    }
    const int cur = currentRow();
    if (KeyCode >= Qt::Key_0 && KeyCode <= Qt::Key_9 && cur >= 0 && rows()[cur].entry.Kind != sfkNotSound &&
        !(Shift & (Qt::ControlModifier | Qt::AltModifier))) {
        // A digit starts a new tag for the row; the next digit goes after it.
        {
            const QScopedValueRollback fromList(mTagFromList, true);
            txtTag->setFocus();
        }
        txtTag->setText(QString(QChar(u'0' + (KeyCode - Qt::Key_0))));
        txtTag->setCursorPosition(1);
        return true;
    }
    return false;
}

void frmSoundLib::lvwFileList_KeyUp(int KeyCode)
{
    if (rows().size() >= 2 && KeyCode >= Qt::Key_Left && KeyCode <= Qt::Key_Down)
        UpdateSoundLibTotals();
}

void frmSoundLib::lvwFileList_OLEDragDrop(const QStringList &paths)
{
    QString text;
    for (const QString &p : paths) {
        if (QFileInfo(p).isDir())
            text += AddFolderSoundFiles(p);
        else
            text += p + QLatin1Char('\t');
    }
    // Ends with one empty element, as the adding routine expects.
    DroppedFiles = text.split(QLatin1Char('\t'));
    if (slot() >= 0)
        ActiveDocIndex = slot();
    AddFilesToSoundLibrary(DroppedFiles);
    DroppedFiles = QStringList{QString()};
}

void frmSoundLib::AddFilesToSoundLibrary(const QStringList &files)
{
    SoundRows &r = rows();
    int insertAt = r.isEmpty() ? 0 : currentRow() + 1; // rows go below the current one
    if (insertAt < 0)
        insertAt = 0;
    int lastInserted = -1;
    for (qsizetype i = 0; i + 1 < files.size(); ++i) {
        const QFileInfo fi(files[i]);
        if (!fi.isFile())
            continue;
        if (r.size() >= SoundLibTable::kMaxRows) {
            vx::MsgBox(QStringLiteral("The sound library is full (%1 sounds).").arg(SoundLibTable::kMaxRows),
                       vx::Buttons::Ok, vx::Icon::Exclamation);
            break;
        }
        // The record keeps the name as it is on disk; only messages show it in proper case.
        const QString shown = ProperCaseName(fi.fileName());
        SoundEntry e = GetSoundFileInfo(FolderOf(fi.absoluteFilePath()), fi.fileName(), DfltPCMEnc);
        if (e.Kind == sfkNotSound) {
            if (vx::MsgBox(shown + QStringLiteral(" will not be added to the library ") +
                               QStringLiteral("because it is not a supported sound format.") + QLatin1Char('\n'),
                           vx::Buttons::OkCancel, vx::Icon::Exclamation, QStringLiteral("Unsupported Format")) ==
                vx::Answer::Cancel)
                break;
            continue;
        }
        if (const int holder = IsTagInUse(r, e.Tag)) {
            if (vx::MsgBox(DuplicateTagMessage(shown, ProperCaseName(r[holder - 1].entry.FileName)),
                           vx::Buttons::OkCancel, vx::Icon::Exclamation, QStringLiteral("Duplicate Tag")) ==
                vx::Answer::Cancel)
                break;
            continue;
        }
        r.insert(insertAt, SoundRow{e, MakeListItem(e)});
        lastInserted = insertAt++;
        MarkDocumentModified();
    }
    const int keep = currentRow();
    model->reload();
    if (lastInserted >= 0)
        selectOnly(lastInserted);
    else if (keep >= 0)
        selectOnly(keep);
    activeView()->setFocus();
    UpdateSoundLibTotals();
    UpdateToolbarState();
}

void frmSoundLib::MoveSelectedRowsTo(int target)
{
    SoundRows &r = rows();
    const int cur = currentRow();
    if (target < 0 || target >= r.size() || cur < 0)
        return;
    std::vector<bool> sel = selectedRows();
    if (sel[static_cast<size_t>(target)] == sel[static_cast<size_t>(cur)])
        return; // dropped on the rows being dragged (or like them)
    SoundRows moving;
    SoundRows staying;
    int targetAfter = -1; // target's place among the rows that stay
    for (int i = 0; i < r.size(); ++i) {
        if (sel[static_cast<size_t>(i)]) {
            moving.append(r[i]);
        } else {
            if (i == target)
                targetAfter = static_cast<int>(staying.size());
            staying.append(r[i]);
        }
    }
    if (moving.isEmpty())
        return;
    int at;
    if (targetAfter >= 0) {
        at = targetAfter + 1; // below the row dropped on
    } else {
        // The row dropped on was moved itself: the rows go where it stood.
        at = 0;
        for (int i = 0; i < target; ++i)
            at += sel[static_cast<size_t>(i)] ? 0 : 1;
    }
    for (int k = 0; k < moving.size(); ++k)
        staying.insert(at + k, moving[k]);
    r = std::move(staying);
    if (slot() >= 0)
        ActiveDocIndex = slot();
    MarkDocumentModified();
    model->reload();
    selectOnly(at + static_cast<int>(moving.size()) - 1);
    activeView()->setFocus();
    UpdateSoundLibTotals();
}

void frmSoundLib::startRowDrag(QAbstractItemView *view)
{
    ListSelSnapshot = selectedRows();
    if (view->selectionModel()->selectedRows().isEmpty())
        return;
    auto *drag = new QDrag(view);
    auto *md = new QMimeData;
    md->setData(kRowsMime, QByteArray::number(slot()));
    drag->setMimeData(md);
    drag->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(24));
    drag->exec(Qt::MoveAction);
    model->setDropHighlight(-1);
}

void frmSoundLib::dragOverRows(QAbstractItemView *view, const QPoint &pos)
{
    // The drag leaves the selection as it was when it began.
    QItemSelectionModel *sm = view->selectionModel();
    for (int i = 0; i < static_cast<int>(ListSelSnapshot.size()) && i < rows().size(); ++i) {
        const QModelIndex idx = model->index(i, 0);
        if (sm->isRowSelected(i) != ListSelSnapshot[static_cast<size_t>(i)])
            sm->select(idx, (ListSelSnapshot[static_cast<size_t>(i)] ? QItemSelectionModel::Select
                                                                      : QItemSelectionModel::Deselect) |
                                QItemSelectionModel::Rows);
    }
    const QModelIndex under = view->indexAt(pos);
    model->setDropHighlight(under.isValid() ? under.row() : -1);
    if (!under.isValid())
        return;
    const QRect vp = view->viewport()->rect();
    const int row = under.row();
    auto scrollTo = [&](int r) { view->scrollTo(model->index(r, 0)); };
    if (pos.y() > vp.bottom() - vx::twipsToPixels(430) && row + 1 < rows().size())
        scrollTo(row + 1);
    if (pos.x() > vp.right() - vx::twipsToPixels(180) && row + 1 < rows().size())
        scrollTo(row + 1);
    if (pos.y() < vx::twipsToPixels(430) && row > 0)
        scrollTo(row - 1);
    if (pos.x() < vx::twipsToPixels(180) && row > 0)
        scrollTo(row - 1);
}
