#pragma once

#include <QString>
#include <QStringList>

namespace vx {

// Starts an outside program with arguments, without a shell, and does not
// wait for it. Returns false (and a message) when it could not be started.
bool startProgram(const QString &program, const QStringList &arguments, QString *error = nullptr);

} // namespace vx
