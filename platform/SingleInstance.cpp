#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace vx {

SingleInstance::SingleInstance(const QString &program)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    mLock = std::make_unique<QLockFile>(dir + QLatin1Char('/') + program + QStringLiteral(".lock"));
    mLock->setStaleLockTime(0);
    mFirst = mLock->tryLock(0);
    if (!mFirst && mLock->removeStaleLockFile())
        mFirst = mLock->tryLock(0);
}

SingleInstance::~SingleInstance()
{
    if (mFirst)
        mLock->unlock();
}

} // namespace vx
