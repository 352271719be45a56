#include "app/startup/Busy.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

QWidget *slotWindow(int slot)
{
    return DocumentAt(slot);
}

bool slotLive(int slot)
{
    return slot >= 0 && slot < DocState.size() && !DocState[slot].Deleted;
}

// The control of the active window that had the focus when the program became
// busy: disabling the window takes it away, and the end gives it back.
QPointer<QWidget> focusBeforeBusy;

} // namespace

void BeginBusy()
{
    if (CompilingLibrary)
        return;
    if (!Busy) {
        QWidget *w = slotLive(ActiveDocIndex) ? slotWindow(ActiveDocIndex) : nullptr;
        focusBeforeBusy = w ? w->focusWidget() : nullptr;
    }
    Busy = true;
    UpdateToolbarState();
    for (int slot = 0; slot < DocState.size(); ++slot) {
        if (!slotLive(slot))
            continue;
        if (QWidget *w = slotWindow(slot))
            w->setEnabled(false);
    }
    // The focus went with the disabled windows. Left without one, the main
    // window gives it, when next activated, to the first window frame it
    // finds, and that window comes to the front in place of the user's. The
    // active window's frame keeps it instead.
    if (slotLive(ActiveDocIndex) && !QApplication::focusWidget()) {
        MdiChild *w = DocumentAt(ActiveDocIndex);
        if (w && w->frame() != w && w->Visible())
            w->frame()->setFocus();
    }
}

void EndBusy()
{
    if (CompilingLibrary)
        return;
    Busy = false;
    SuppressActivate = true;
    for (int slot = 0; slot < DocState.size(); ++slot) {
        if (slotLive(slot)) {
            if (QWidget *w = slotWindow(slot))
                w->setEnabled(true);
        }
        QCoreApplication::processEvents();
    }
    if (slotLive(ActiveDocIndex)) {
        QWidget *w = slotWindow(ActiveDocIndex);
        // A control the task's end focused on purpose (the compile's list)
        // keeps it; else the one that had it before.
        QWidget *now = w ? w->focusWidget() : nullptr;
        QWidget *had = w && w->isAncestorOf(now) ? now : focusBeforeBusy.data();
        if (had && w && w->isAncestorOf(had) && had->isVisible() && had->isEnabled())
            had->setFocus();
        else if (w && w->isVisible())
            w->setFocus();
        QCoreApplication::processEvents();
    }
    focusBeforeBusy = nullptr;
    SuppressActivate = false;
    UpdateToolbarState();
}
