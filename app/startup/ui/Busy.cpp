#include "app/startup/Busy.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"

#include <QCoreApplication>
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

} // namespace

void BeginBusy()
{
    if (CompilingLibrary)
        return;
    Busy = true;
    UpdateToolbarState();
    for (int slot = 0; slot < DocState.size(); ++slot) {
        if (!slotLive(slot))
            continue;
        if (QWidget *w = slotWindow(slot))
            w->setEnabled(false);
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
        if (w && w->isVisible())
            w->setFocus();
        QCoreApplication::processEvents();
    }
    SuppressActivate = false;
    UpdateToolbarState();
}
