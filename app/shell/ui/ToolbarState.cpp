#include "app/shell/ui/ToolbarState.h"

#include "app/Globals.h"
#include "app/documents/GridClipboard.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/soundlib/SoundClipboard.h"
#include "app/startup/ui/frmMDI.h"
#include "link/cTolvane.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

namespace {

bool shown(const QWidget *w)
{
    const auto *child = qobject_cast<const MdiChild *>(w);
    return child ? child->Visible() : w && w->isVisible();
}

void applyToAction(QAction *a, const vx::ItemState &s)
{
    a->setEnabled(s.enabled);
    if (a->isCheckable())
        a->setChecked(s.checked || s.pressed);
    if (s.toolTip)
        a->setToolTip(*s.toolTip);
}

void apply(frmMDI *main, QWidget *active, const vx::ToolbarState &state)
{
    QWidget *panels = main->panelsWindow();
    for (const auto &[key, s] : state.items) {
        bool found = false;
        for (QAction *a : main->Items(key)) {
            applyToAction(a, s);
            found = true;
        }
        if (found)
            continue;
        if (QAction *button = ToolbarButton(key)) {
            applyToAction(button, s);
        } else if (panels) {
            if (auto *w = panels->findChild<QWidget *>(key))
                w->setEnabled(s.enabled);
        }
    }
    if (state.inputLocked && active) {
        if (auto *box = active->findChild<QWidget *>(QStringLiteral("txtInputBox")))
            box->setProperty("readOnly", *state.inputLocked);
    }
    main->sbStatusBar->update();
}

} // namespace

vx::ToolbarInputs GatherToolbarInputs()
{
    vx::ToolbarInputs in;
    in.busy = Busy;
    in.playing = Playing;
    in.recordIsPause = ButtonTag(ToolbarButton(QStringLiteral("Record"))) == QLatin1String("Pause");
    in.port = Port;
    in.audioPlayer = AudioPlayer;
    in.recMemSize = RecMemSize;
    in.recMemFree = RecMemFree;
    in.panelTab = PanelTab;
    in.sv10Emulation = SV10Emulation;
    // Without a chip the count decides nothing, and the link is not asked.
    if (Port != 0 && cTolv)
        in.recordedFiles = cTolv->GetStatus().fileCount();
    if (const QMimeData *clip = QGuiApplication::clipboard()->mimeData())
        in.clipboardHasText = clip->hasText();
    in.clipSoundEntries = !ClipSoundEntries().isEmpty();
    in.clipDicRows = !ClipDicRows().isEmpty();
    in.clipMusicRows = !ClipMusicRows().isEmpty();

    frmMDI *main = frmMDI::instance();
    if (!main)
        return in;
    in.panelsVisible = shown(main->panelsWindow());
    in.phoneticVisible = shown(main->phoneticWindow());
    // A tool window hidden while it was active is no window: nothing may act on it.
    const MdiChild *child = ActiveChild();
    if (child && !child->frame()->isHidden()) {
        const WindowState w = child->state();
        in.kind = w.kind;
        in.control = w.control;
        in.dirty = w.dirty;
        in.windowTextEmpty = w.windowTextEmpty;
        in.textBox = w.textBox;
        in.soundItems = w.soundItems;
        in.selectedSoundKind = w.selectedSoundKind;
        in.grid = w.grid;
    }
    return in;
}

void UpdateToolbarState()
{
    static bool InProgress = false;
    static bool again = false;
    if (ClosingAll || InitializingLink || SuppressActivate)
        return;
    // A call from inside a running one (a signal raised while the state is
    // applied) is not lost: the running call computes once more at its end.
    if (InProgress) {
        again = true;
        return;
    }
    frmMDI *main = frmMDI::instance();
    if (!main)
        return;
    InProgress = true;
    int rounds = 0;
    do {
        again = false;
        apply(main, ActiveChild(), vx::ComputeToolbarState(GatherToolbarInputs()));
    } while (again && ++rounds < 3);
    InProgress = false;
}
