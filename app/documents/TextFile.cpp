#include "app/documents/TextFile.h"

#include "platform/TextFiles.h"

bool SaveTextFile(const QString &path, QStringView text, QString *error)
{
    return vx::writeTextFile(path, text, error);
}

bool LoadTextFile(const QString &path, QString &text, QString *error)
{
    QString read;
    // A byte is at most one character, and a CR LF pair one line break: past
    // this many bytes nothing more can reach the window, however long the file.
    constexpr qint64 kMaxBytes = 2 * kTextMaxLength + 2;
    if (!vx::readTextFile(path, read, error, kMaxBytes))
        return false;
    if (read.size() > kTextMaxLength)
        read.truncate(kTextMaxLength);
    text = read;
    return true;
}
