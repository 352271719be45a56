#include "app/startup/ui/MainToolbar.h"

#include "app/shell/MenuTable.h"
#include "app/Globals.h"
#include "app/startup/ui/Images.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

void BuildMainToolbar(QToolBar *toolbar)
{
    for (const vx::ToolbarButton &spec : vx::ToolbarButtons()) {
        if (!spec.key) {
            toolbar->addSeparator();
            continue;
        }
        const QString key = QLatin1String(spec.key);
        QAction *button = toolbar->addAction(images::toolbarImage(key), key);
        button->setObjectName(key);
        button->setToolTip(QLatin1String(spec.toolTip));
        button->setProperty("Image", key);
        button->setProperty("Tag", QString());
        // These two show whether their window is up.
        button->setCheckable(key == QLatin1String("Cpanels") || key == QLatin1String("Phonetics"));
        if (spec.style != vx::ButtonStyle::DropDown)
            continue;
        auto *menu = new QMenu(toolbar);
        menu->setObjectName(key + QStringLiteral("Menu"));
        for (const vx::ButtonMenuItem &item : spec.menu) {
            QAction *a = menu->addAction(QLatin1String(item.text));
            a->setObjectName(QLatin1String(item.key));
            // The recent files stay hidden until the list gives them a file.
            a->setVisible(*item.text != 0);
        }
        button->setMenu(menu);
        if (auto *tb = qobject_cast<QToolButton *>(toolbar->widgetForAction(button)))
            tb->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

QAction *ToolbarButton(const QString &key)
{
    if (!MainToolbar)
        return nullptr;
    for (QAction *a : MainToolbar->actions()) {
        if (a->objectName() == key)
            return a;
    }
    return nullptr;
}

QMenu *ToolbarButtonMenu(const QString &key)
{
    QAction *a = ToolbarButton(key);
    return a ? a->menu() : nullptr;
}

QString ButtonTag(const QAction *button)
{
    return button ? button->property("Tag").toString() : QString();
}

void SetButtonTag(QAction *button, const QString &tag)
{
    if (button)
        button->setProperty("Tag", tag);
}

QString ButtonImage(const QAction *button)
{
    return button ? button->property("Image").toString() : QString();
}

void SetButtonImage(QAction *button, const QString &imageKey)
{
    if (!button)
        return;
    button->setProperty("Image", imageKey);
    button->setIcon(images::toolbarImage(imageKey));
}

void SetPlayButtonsBusy()
{
    QAction *play = ToolbarButton(QStringLiteral("Play"));
    QAction *record = ToolbarButton(QStringLiteral("Record"));
    if (!play || !record)
        return;
    SetButtonImage(play, QStringLiteral("Stop"));
    if (!ButtonTag(play).isEmpty())
        SetButtonTag(play, QStringLiteral("Stop"));
    play->setToolTip(QStringLiteral("Stop"));
    SetButtonImage(record, QStringLiteral("Pause"));
    SetButtonTag(record, QStringLiteral("Pause"));
    record->setToolTip(QStringLiteral("Pause"));
    play->setEnabled(true);
    record->setEnabled(!Playing);
}

void SetPlayButtonsIdle()
{
    QAction *play = ToolbarButton(QStringLiteral("Play"));
    QAction *record = ToolbarButton(QStringLiteral("Record"));
    if (play && record) {
        SetButtonImage(play, QStringLiteral("Play"));
        if (!ButtonTag(play).isEmpty())
            SetButtonTag(play, QStringLiteral("Play"));
        SetButtonImage(record, QStringLiteral("Record"));
        SetButtonTag(record, QStringLiteral("Record"));
    }
    QCoreApplication::processEvents();
}
