#pragma once

// The slot rules of the document registry: which slot a new window gets,
// which slots hold open documents, and the names and captions that follow
// from a slot. Plain functions over the DocState records, so the windows and
// the tests share one set of rules.

#include "app/Globals.h"
#include "app/shell/ToolbarRules.h"

#include <QString>
#include <QVector>

#include <functional>

// Slot numbers stay 16-bit; the registry never grows past this slot.
inline constexpr int kMaxDocumentSlot = 32767;
// Slots 0 and 1 belong to the control panels and the phonetic output.
inline constexpr int kFirstDocumentSlot = 2;

// Claims a slot for a new document: the lowest freed slot from 2 up, else a
// new slot at the end. The claimed record starts clean (not deleted, not
// modified, no file name), and startClean is called with the slot so that the
// caller clears its parallel arrays for it (the window list, the sound entries).
// Returns 0, claiming nothing, when every slot up to kMaxDocumentSlot is in use.
[[nodiscard]] int AllocDocumentSlot(QVector<DocRecord> &docs, const std::function<void(int slot)> &startClean = {});

// The lowest slot from 2 up that holds an open document; 0 when none does.
[[nodiscard]] int FindFirstDocumentSlot(const QVector<DocRecord> &docs);

// The open slot whose file is the file path names: names differing in case
// are two files, and a path through "./" or a link finds the file it reaches.
// Freed slots are passed over. 0 when none.
[[nodiscard]] int FindOpenSlot(const QVector<DocRecord> &docs, const QString &path);

// The name of a document that was never saved: "Untitled1" for slot 2.
[[nodiscard]] QString UntitledName(int slot);

// True for a name that the save commands treat as never saved.
[[nodiscard]] bool IsUntitled(const QString &fileName);

// "Text [name]", "Dictionary [name]", ..., with "*" behind the "]" when dirty.
// The control panels and the phonetic output have no document caption: "".
[[nodiscard]] QString DocumentCaption(vx::WindowKind kind, const QString &name, bool dirty);

// Marks a document modified. True when it was not modified before, that is
// when its caption gains its one "*".
bool MarkDirty(DocRecord &doc);
