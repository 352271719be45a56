#include "app/documents/ui/OpenFiles.h"

#include "app/Globals.h"
#include "app/documents/RecentFiles.h"
#include "app/documents/SoundLibFile.h"
#include "app/documents/TextFile.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/frmMDI.h"
#include "app/startup/ui/RealTimePlay.h"
#include "app/soundlib/ui/SoundPreview.h"
#include "common/TextUtil.h"
#include "platform/FileNames.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

namespace {

QString shownName(const QString &path)
{
    return ProperCase(QFileInfo(path).fileName());
}

void cantOpen(const QString &path)
{
    vx::MsgBox(QStringLiteral("Can't open file: ") + path, vx::Buttons::Ok, vx::Icon::None);
}

// A path from the command line or a drop may name nothing, or a folder.
bool readable(const QString &path)
{
    QFile f;
    return vx::openForReading(f, path);
}

QByteArray headOf(const QString &path)
{
    QFile f;
    return vx::openForReading(f, path) ? f.read(256) : QByteArray();
}

qint64 sizeOf(const QString &path)
{
    QFile f;
    return vx::openForReading(f, path) ? f.size() : 0;
}

const char *kindWord(vx::WindowKind kind)
{
    switch (kind) {
    case vx::WindowKind::SoundLib:
        return "sound library";
    case vx::WindowKind::Dictionary:
        return "dictionary";
    case vx::WindowKind::Music:
        return "music score";
    default:
        return "text";
    }
}

// The one way into a window: the file read into a new window of kind, which
// is discarded with its message when the file cannot be loaded.
void openInWindow(vx::WindowKind kind, const QString &path)
{
    if (IsFileOpen(path))
        return;
    if (!HasDocumentKind(kind)) {
        vx::MsgBox(shownName(path) + QStringLiteral(" cannot be opened: this version has no ") +
                       QLatin1String(kindWord(kind)) + QStringLiteral(" window yet."),
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        return;
    }
    if (!readable(path)) {
        cantOpen(path);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DocumentWindow *w = OpenDocument(kind, path);
    QApplication::restoreOverrideCursor();
    if (w)
        AddRecentFile(path);
    UpdateToolbarState();
}

vx::WindowKind windowKindOf(OpenAction action)
{
    switch (action) {
    case OpenAction::SoundLib:
        return vx::WindowKind::SoundLib;
    case OpenAction::Dictionary:
        return vx::WindowKind::Dictionary;
    case OpenAction::Music:
        return vx::WindowKind::Music;
    default:
        return vx::WindowKind::Text;
    }
}

void showEntry(QAction *item, const QString &text)
{
    if (!item)
        return;
    item->setText(text);
    item->setVisible(true);
}

QAction *buttonItem(int k)
{
    QMenu *menu = ToolbarButtonMenu(QStringLiteral("Open"));
    if (!menu)
        return nullptr;
    const QString key = QStringLiteral("RecentFile") + QString::number(k);
    for (QAction *a : menu->actions()) {
        if (a->objectName() == key)
            return a;
    }
    return nullptr;
}

QAction *menuItem(int k)
{
    frmMDI *main = frmMDI::instance();
    if (!main)
        return nullptr;
    for (QAction *a : main->Items(QStringLiteral("mnuRecentFile"))) {
        if (a->property("Index").toInt() == k)
            return a;
    }
    return nullptr;
}

} // namespace

void OpenTextFile(const QString &path)
{
    if (IsFileOpen(path))
        return;
    if (sizeOf(path) > kTextMaxLength &&
        vx::MsgBox(shownName(path) + QStringLiteral(" is too large to open.\r\n") +
                       QStringLiteral("Do you want to load the first 400K of the file?  "),
                   vx::Buttons::YesNo, vx::Icon::Question, QStringLiteral("Open Text File")) != vx::Answer::Yes)
        return;
    openInWindow(vx::WindowKind::Text, path);
}

void OpenSoundLibFile(const QString &path)
{
    if (IsFileOpen(path))
        return;
    if (!readable(path)) {
        cantOpen(path);
        return;
    }
    if (!HasSoundLibMagic(headOf(path))) {
        vx::MsgBox(shownName(path) + QStringLiteral(" is not a valid sound library.  "), vx::Buttons::Ok,
                   vx::Icon::Exclamation, QStringLiteral("Open Sound Library"));
        return;
    }
    openInWindow(vx::WindowKind::SoundLib, path);
}

void OpenDictionaryFile(const QString &path)
{
    openInWindow(vx::WindowKind::Dictionary, path);
}

void OpenMusicFile(const QString &path)
{
    openInWindow(vx::WindowKind::Music, path);
}

void CouldNotLoad(const QString &path)
{
    vx::MsgBox(QStringLiteral("Could not load ") + path + QStringLiteral(".  "), vx::Buttons::Ok, vx::Icon::Critical,
               QStringLiteral("Open File"));
}

void OpenFileByType(const QString &path)
{
    const OpenAction action = OpenActionFor(path);
    if (action == OpenAction::None) {
        CouldNotLoad(path);
        return;
    }
    if (NeedsChip(action) && Port == 0)
        return;
    if (!readable(path)) {
        cantOpen(path);
        return;
    }
    switch (action) {
    case OpenAction::SoundLib:
        OpenSoundLibFile(path);
        break;
    case OpenAction::Dictionary:
        OpenDictionaryFile(path);
        break;
    case OpenAction::Music:
        OpenMusicFile(path);
        break;
    case OpenAction::Text:
        OpenTextFile(path);
        break;
    case OpenAction::DownloadDictionary:
        DownloadDictionary(path);
        break;
    case OpenAction::DownloadSoundLibrary:
        DownloadSoundLibrary(path);
        break;
    case OpenAction::DownloadGreeting:
        DownloadGreeting(path);
        break;
    case OpenAction::PlayMusic: {
        QString name = path;
        PlayMusicOnChip(name);
        break;
    }
    case OpenAction::PlaySound:
        PlaySoundFile(path, false, 0, false);
        break;
    case OpenAction::None:
        break;
    }
}

void OpenRecentFile(int n)
{
    const QString path = RecentFile(n);
    if (path.isEmpty())
        return;
    if (IsFileOpen(path))
        return;
    if (!vx::pathExists(path)) {
        const int c = RemoveRecentFile(n);
        for (QAction *item : {menuItem(c), buttonItem(c)}) {
            if (item)
                item->setVisible(false);
        }
        UpdateRecentFileMenu();
        cantOpen(path);
        return;
    }
    MoveRecentFileToTop(n);
    UpdateRecentFileMenu();
    OpenDocumentFile(path);
}

void OpenDocumentFile(const QString &path)
{
    if (!readable(path)) {
        cantOpen(path);
        return;
    }
    const vx::WindowKind kind = windowKindOf(DocumentKindFor(path, headOf(path)));
    // A long text asks first, as File > Open does: cut silently, its next
    // save would lose the tail.
    if (kind == vx::WindowKind::Text)
        OpenTextFile(path);
    else
        openInWindow(kind, path);
}

void AddRecentFile(const QString &path)
{
    AddRecentFilePath(path);
    UpdateRecentFileMenu();
}

void UpdateRecentFileMenu()
{
    if (RecentFile(1).isEmpty())
        return;
    for (int k = 1; k <= kMaxRecentFiles; ++k) {
        const QString path = RecentFile(k);
        if (path.isEmpty())
            continue;
        showEntry(menuItem(k), RecentMenuCaption(k, path));
        showEntry(buttonItem(k), RecentButtonText(k, path));
    }
    if (frmMDI *main = frmMDI::instance()) {
        if (!main->Items(QStringLiteral("mnuRecentFiles")).isEmpty())
            main->Item(QStringLiteral("mnuRecentFiles"))->setEnabled(true);
    }
}
