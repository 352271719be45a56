#pragma once

// Catches the help pages the desktop is asked to open. A test using it
// includes "moc_HelpCatcher.cpp" once, so the slot gets its meta-object.

#include "platform/Help.h"
#include "tests/support/TestEnv.h"

#include <QDesktopServices>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QUrl>

// From construction on, the desktop's handler for file addresses.
class HelpCatcher : public QObject
{
    Q_OBJECT
public:
    HelpCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    QStringList opened;
public slots:
    void open(const QUrl &url) { opened.append(url.fragment()); }
};

// An empty help file in a fresh folder, made the program's help file; empty
// when it cannot be written.
inline QString useEmptyHelpFile(const char *folder)
{
    const QString help = QString::fromStdString(vxtest::freshDir(folder)) + QStringLiteral("/help.html");
    QFile f(help);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.close();
    vx::setHelpFilePath(help);
    return help;
}
