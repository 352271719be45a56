#include "app/startup/ui/MainToolbar.h"

#include "app/Globals.h"
#include "app/startup/ui/Images.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

namespace {

struct ButtonSpec
{
    const char *key; // nullptr: a gap
    const char *tip;
    bool dropDown;
};

const ButtonSpec kButtons[] = {
    {"New", "New text box", true},
    {"Open", "Open (Ctrl+O)", true},
    {"Save", "Save (Ctrl+S)", false},
    {"Print", "Print", false},
    {"Download", "Download (Ctrl+D)", false},
    {"Compile", "Compile", false},
    {nullptr, nullptr, false},
    {"Cut", "Cut (Ctrl+X)", false},
    {"Copy", "Copy (Ctrl+C)", false},
    {"Paste", "Paste (Ctrl+V)", false},
    {"Delete", "Delete (Del)", false},
    {"Find", "Find (Ctrl+F)", false},
    {"Edit", "Edit", false},
    {"Add", "Add files", false},
    {nullptr, nullptr, false},
    {"Play", "Play", false},
    {"Record", "Record", false},
    {nullptr, nullptr, false},
    {"Cpanels", "Control panels", false},
    {"Phonetics", "Phonetic output window", false},
    {nullptr, nullptr, false},
    {"Help", "Help (F1)", true},
};

struct MenuItemSpec
{
    const char *text;
    const char *key;
};

void addMenu(QToolBar *toolbar, QAction *button, const QList<MenuItemSpec> &items)
{
    auto *menu = new QMenu(toolbar);
    menu->setObjectName(button->objectName() + QStringLiteral("Menu"));
    for (const MenuItemSpec &item : items) {
        QAction *a = menu->addAction(QLatin1String(item.text));
        a->setObjectName(QLatin1String(item.key));
    }
    button->setMenu(menu);
}

} // namespace

void BuildMainToolbar(QToolBar *toolbar)
{
    for (const ButtonSpec &spec : kButtons) {
        if (!spec.key) {
            toolbar->addSeparator();
            continue;
        }
        const QString key = QLatin1String(spec.key);
        QAction *button = toolbar->addAction(images::toolbarImage(key), key);
        button->setObjectName(key);
        button->setToolTip(QLatin1String(spec.tip));
        button->setProperty("Image", key);
        button->setProperty("Tag", QString());
        if (!spec.dropDown)
            continue;
        if (key == QLatin1String("New")) {
            addMenu(toolbar, button,
                    {{"New Text Box", "NewText"},
                     {"New Sound Library", "NewSoundLib"},
                     {"New Dictionary", "NewDict"},
                     {"New Music Score", "NewMusic"}});
        } else if (key == QLatin1String("Open")) {
            auto *menu = new QMenu(toolbar);
            menu->setObjectName(QStringLiteral("OpenMenu"));
            // Filled by the recent-file list; hidden until they carry a file.
            for (int i = 1; i <= 8; ++i) {
                QAction *a = menu->addAction(QString());
                a->setObjectName(QStringLiteral("RecentFile%1").arg(i));
                a->setVisible(false);
            }
            button->setMenu(menu);
        } else if (key == QLatin1String("Help")) {
            addMenu(toolbar, button, {{"Contents", "Contents"}, {"Index", "Index"}, {"Search", "Search"}});
        }
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
