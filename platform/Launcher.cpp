#include "platform/Launcher.h"

#include <QProcess>

namespace vx {

bool startProgram(const QString &program, const QStringList &arguments, QString *error)
{
    if (program.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("No program is set.");
        return false;
    }
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!p.startDetached(&pid)) {
        if (error)
            *error = QStringLiteral("%1 could not be started: %2").arg(program, p.errorString());
        return false;
    }
    return true;
}

} // namespace vx
