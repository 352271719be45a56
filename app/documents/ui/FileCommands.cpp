#include "app/documents/ui/FileCommands.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/OpenFiles.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QGuiApplication>

namespace {

// The number shown with a file that could not be written.
constexpr int kFileAccessError = 75;

} // namespace

bool SaveDocument(DocumentWindow *doc, bool askName)
{
    SaveCancelled = false;
    if (!doc)
        return false;
    DocRecord &rec = doc->record();
    QString path = rec.FileName;
    if (askName || IsUntitled(path)) {
        path = doc->AskSaveFileName(rec.FileName);
        if (path.isEmpty()) {
            SaveCancelled = true;
            return false;
        }
    }
    // Nothing typed is lost without a word; a No is a cancelled save.
    if (!vx::confirmCharacterLoss(doc->CodePageText(), path)) {
        SaveCancelled = true;
        UpdateToolbarState();
        return false;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool ok = doc->SaveFile(path, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!ok) {
        vx::MsgBox(QStringLiteral("Error ") + QString::number(kFileAccessError) + QStringLiteral(": ") + error,
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        SaveCancelled = true;
        UpdateToolbarState();
        return false;
    }
    rec.FileName = path;
    rec.Dirty = false;
    doc->RefreshCaption();
    AddRecentFile(path);
    UpdateToolbarState();
    return true;
}

void FileSave()
{
    SaveDocument(ActiveDocument(), false);
}

void FileSaveAs()
{
    SaveDocument(ActiveDocument(), true);
}

void FileClose()
{
    if (MdiChild *w = ActiveChild())
        w->frame()->close();
}

void FileNewText()
{
    LastNewKind = 0;
    NewTextDocument();
}
