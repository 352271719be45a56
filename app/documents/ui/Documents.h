#pragma once

// The document registry's windows: Documents[slot] beside DocState[slot],
// the active window, the New routines and the kinds of document window.
// Slot 0 holds the control panels, slot 1 the phonetic output, documents
// start at slot 2.

#include "app/documents/Registry.h"
#include "app/documents/WindowState.h"

#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>

class MdiChild;
class DocumentWindow;

// Index = slot; a freed slot holds null.
inline QVector<QPointer<MdiChild>> Documents;

// The window at slot, or null.
[[nodiscard]] MdiChild *DocumentAt(int slot);
// The window at ActiveDocIndex, or null.
[[nodiscard]] MdiChild *ActiveChild();
// The active window when it is a document (text, sound library, dictionary,
// music score), else null.
[[nodiscard]] DocumentWindow *ActiveDocument();

// Puts a tool window (control panels, phonetic output) into its fixed slot.
void PlaceToolWindow(int slot, MdiChild *window);

// Claims a slot for a new document, growing the registry as needed; the
// slot starts clean. 0 when every slot is taken.
[[nodiscard]] int AllocDocumentSlot();
// The lowest slot from 2 up holding an open document; 0 when none.
[[nodiscard]] int FindFirstDocumentSlot();
// True when a document of that path is open (case ignored); that window
// then comes to the front.
bool IsFileOpen(const QString &path);
// Marks the active document modified: one "*" behind its caption, Save on at once.
void MarkDocumentModified();

// Each kind of document window registers how to create an empty one, so
// File > New and opening a file reach every kind the same way.
using DocumentFactory = std::function<DocumentWindow *()>;
void RegisterDocumentKind(vx::WindowKind kind, DocumentFactory create);
[[nodiscard]] bool HasDocumentKind(vx::WindowKind kind);

// A new, untitled document of kind in a fresh slot: visible, focused and
// active. Null when the kind is not registered or no slot is free.
DocumentWindow *NewDocument(vx::WindowKind kind);
void NewTextDocument();
void NewSoundLibDocument();
void NewDictionaryDocument();
// A new score also gets its first line, opened for editing.
void NewMusicDocument();

// Opens path in a new window of kind. A file already open is brought to the
// front instead. A file that cannot be read is reported, its half-built
// window discarded, and null returned.
DocumentWindow *OpenDocument(vx::WindowKind kind, const QString &path);

// Closes every window and empties the registry (tests; the kinds stay).
void ResetDocuments();
