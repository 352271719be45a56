#include "platform/FileManager.h"

#include "platform/Prompter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vx {

bool revealFile(const QString &path)
{
    const QFileInfo file(path);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString()} << QString();
        // A file manager that does not answer soon is not waited for.
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath())))
        return true;
    MsgBox(QStringLiteral("No file browser could be started to show the file %1.").arg(file.absoluteFilePath()),
           Buttons::Ok, Icon::Exclamation);
    return false;
}

} // namespace vx
