#include "app/documents/ui/Documents.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/GridDocumentWindow.h"
#include "app/documents/GridFile.h"
#include "app/documents/SoundLibFile.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QCoreApplication>
#include <QFile>

#include <map>

namespace {

std::map<vx::WindowKind, DocumentFactory> &kinds()
{
    static std::map<vx::WindowKind, DocumentFactory> k;
    return k;
}

// Documents follows DocState's bounds.
void matchBounds()
{
    if (Documents.size() < DocState.size())
        Documents.resize(DocState.size());
}

} // namespace

MdiChild *DocumentAt(int slot)
{
    if (slot < 0 || slot >= Documents.size())
        return nullptr;
    return Documents[slot].data();
}

MdiChild *ActiveChild()
{
    return DocumentAt(ActiveDocIndex);
}

DocumentWindow *ActiveDocument()
{
    return qobject_cast<DocumentWindow *>(ActiveChild());
}

void PlaceToolWindow(int slot, MdiChild *window)
{
    if (DocState.size() < kFirstDocumentSlot)
        DocState.resize(kFirstDocumentSlot);
    matchBounds();
    Documents[slot] = window;
    DocState[slot].Deleted = window == nullptr;
    if (window)
        window->setSlot(slot);
}

int AllocDocumentSlot()
{
    return AllocDocumentSlot(DocState, [](int slot) {
        matchBounds();
        // A reused slot holds no trace of its last window.
        Documents[slot] = nullptr;
        SoundLibEntries.clearSlot(slot);
    });
}

int FindFirstDocumentSlot()
{
    return FindFirstDocumentSlot(DocState);
}

bool IsFileOpen(const QString &path)
{
    const int s = FindOpenSlot(DocState, path);
    if (s == 0)
        return false;
    if (MdiChild *w = DocumentAt(s))
        w->SetFocus();
    return true;
}

void MarkDocumentModified()
{
    if (DocumentWindow *doc = ActiveDocument())
        doc->MarkModified();
}

void RegisterDocumentKind(vx::WindowKind kind, DocumentFactory create)
{
    kinds()[kind] = std::move(create);
}

bool HasDocumentKind(vx::WindowKind kind)
{
    const auto it = kinds().find(kind);
    return it != kinds().end() && it->second;
}

DocumentWindow *NewDocument(vx::WindowKind kind)
{
    if (!HasDocumentKind(kind))
        return nullptr;
    const int s = AllocDocumentSlot();
    if (s == 0) {
        vx::MsgBox(QStringLiteral("No more documents can be opened. Close a document first."), vx::Buttons::Ok,
                   vx::Icon::Exclamation);
        return nullptr;
    }
    DocumentWindow *w = kinds()[kind]();
    Documents[s] = w;
    ActiveDocIndex = s;
    w->setSlot(s);
    DocState[s].FileName = UntitledName(s);
    DocState[s].Dirty = false;
    w->RefreshCaption();
    w->ShowInMainWindow();
    w->SetFocus();
    w->Form_Activate();
    return w;
}

void NewTextDocument()
{
    NewDocument(vx::WindowKind::Text);
}

void NewSoundLibDocument()
{
    NewDocument(vx::WindowKind::SoundLib);
}

void NewDictionaryDocument()
{
    NewDocument(vx::WindowKind::Dictionary);
}

void NewMusicDocument()
{
    // A new score opens on its first line, ready to type; an opened file
    // gets no such row.
    if (auto *w = qobject_cast<GridDocumentWindow *>(NewDocument(vx::WindowKind::Music)))
        w->vbalGrid1->InsertGridRow();
}

static void cantOpen(const QString &path, const QString &error)
{
    vx::MsgBox(QStringLiteral("Can't open file: ") + path + (error.isEmpty() ? QString() : QStringLiteral("\n") + error),
               vx::Buttons::Ok, vx::Icon::Exclamation);
}

DocumentWindow *OpenDocument(vx::WindowKind kind, const QString &path)
{
    if (IsFileOpen(path))
        return qobject_cast<DocumentWindow *>(DocumentAt(FindOpenSlot(DocState, path)));
    // Refused before its window is made, which would only flash empty behind the message.
    if (kind == vx::WindowKind::Dictionary || kind == vx::WindowKind::Music) {
        QFile f;
        const qint64 size = vx::openForReading(f, path) ? f.size() : 0;
        if (const QString tooLarge = GridFileSizeError(size, kind == vx::WindowKind::Dictionary); !tooLarge.isEmpty()) {
            cantOpen(path, tooLarge);
            return nullptr;
        }
    }
    if (QString error; kind == vx::WindowKind::SoundLib && !LoadSoundLibFile(path, &error)) {
        cantOpen(path, error);
        return nullptr;
    }
    DocumentWindow *w = NewDocument(kind);
    if (!w)
        return nullptr;
    QString error;
    if (!w->LoadFile(path, &error)) {
        cantOpen(path, error);
        // The half-built window goes without a question.
        w->record().Dirty = false;
        w->Form_Unload();
        QWidget *frame = w->frame();
        frame->hide();
        frame->deleteLater();
        UpdateToolbarState();
        return nullptr;
    }
    DocRecord &doc = w->record();
    doc.FileName = path;
    doc.Dirty = false;
    w->RefreshCaption();
    UpdateToolbarState();
    return w;
}

void ResetDocuments()
{
    for (const QPointer<MdiChild> &w : std::as_const(Documents)) {
        if (w) {
            QWidget *frame = w->frame();
            frame->hide();
            delete frame;
        }
    }
    Documents.clear();
}
