#pragma once

// The main toolbar `tbStdLarge` and its buttons by key. A button is a
// QAction whose objectName is its key; its Tag and image key are kept as
// properties, so the Play and Record buttons can turn into Stop and Pause.

#include <QPointer>
#include <QString>
#include <QToolBar>

class QAction;
class QMenu;

// The main window's toolbar, set by the start-up (InitToolbar).
inline QPointer<QToolBar> MainToolbar;

// Fills a toolbar with the main toolbar's buttons, in order, with their
// tool tips and drop-down menus (items are QActions named by their key).
void BuildMainToolbar(QToolBar *toolbar);

// The button of a key on MainToolbar, or null.
[[nodiscard]] QAction *ToolbarButton(const QString &key);
// The drop-down menu of a button ("New", "Open", "Help"), or null.
[[nodiscard]] QMenu *ToolbarButtonMenu(const QString &key);

[[nodiscard]] QString ButtonTag(const QAction *button);
void SetButtonTag(QAction *button, const QString &tag);
// The key of the image a button shows, and changing it ("Play" -> "Stop").
[[nodiscard]] QString ButtonImage(const QAction *button);
void SetButtonImage(QAction *button, const QString &imageKey);

// While speaking or recording: Play shows Stop and Record shows Pause (with
// their tool tips); Record stays disabled while something plays.
void SetPlayButtonsBusy();
// Play and Record again; the toolbar refresh puts their tool tips back.
void SetPlayButtonsIdle();
