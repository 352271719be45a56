#pragma once

// The context menus of the main window and the document windows. Each item
// runs the main window's command of the same job, enabled as that command
// is, so a context command behaves as its main-menu twin.

#include <QString>


class QMenu;
class QWidget;

// Builds the context menu of that name ("mnuMDIForm", "mnuSoundLib",
// "mnuTextWindow", "mnuTextWindowPlaying", "mnuDictionary", "mnuMusic",
// "mnuPhmWindow", "mnuSoundsLike"), with its items' states taken now; null
// for an unknown name. The caller owns the menu.
[[nodiscard]] QMenu *BuildPopupMenu(const QString &name, QWidget *parent = nullptr);

// Builds that menu and shows it at the mouse over owner.
void ShowContextMenu(QWidget *owner, const QString &name);

// The parameter prompt of a "Sounds Like" command (the parameter window):
// the answer typed, empty when cancelled.
[[nodiscard]] QString GetParm(const QString &name, int largest);
