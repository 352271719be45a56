#include "platform/Help.h"

#include "platform/Folders.h"
#include "platform/ProgramName.h"
#include "platform/Prompter.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vx {

namespace {
QString &helpOverride()
{
    static QString s;
    return s;
}
} // namespace

QString helpFilePath()
{
    if (!helpOverride().isEmpty())
        return helpOverride();
    return programFolder() + QStringLiteral("/Docs/") + programName() + QStringLiteral("_Help.html");
}

void setHelpFilePath(const QString &path)
{
    helpOverride() = path;
}

bool showHelpTopic(int topic)
{
    const QString path = helpFilePath();
    if (!QFileInfo::exists(path)) {
        MsgBox(QStringLiteral("The help file %1 is missing.").arg(path), Buttons::Ok, Icon::Exclamation);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (topic != 0)
        url.setFragment(QStringLiteral("topic%1").arg(topic));
    // The file is there: what failed is starting a browser to show it.
    if (!QDesktopServices::openUrl(url)) {
        MsgBox(QStringLiteral("No web browser could be started to show the help file %1.").arg(path), Buttons::Ok,
               Icon::Exclamation);
        return false;
    }
    return true;
}

} // namespace vx
