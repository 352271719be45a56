#include "app/documents/TextFile.h"

#include "platform/TextFiles.h"

bool SaveTextFile(const QString &path, QStringView text, QString *error)
{
    return vx::writeTextFile(path, text, error);
}

bool LoadTextFile(const QString &path, QString &text, QString *error)
{
    QString read;
    if (!vx::readTextFile(path, read, error))
        return false;
    if (read.size() > kTextMaxLength)
        read.truncate(kTextMaxLength);
    text = read;
    return true;
}
