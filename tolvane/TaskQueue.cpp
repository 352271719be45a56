#include "tolvane/TaskQueue.h"

#include "tolvane/FileTypes.h"

#include "platform/FileNames.h"

#include <QDir>

#include <filesystem>
#include <system_error>

namespace tolv {

namespace {

// Made from the folder's bytes and the name as given: QFileInfo would turn
// bytes of either that are not UTF-8 into replacement marks.
QString absolutePath(const QString &path)
{
    if (QDir::isAbsolutePath(path))
        return QDir::cleanPath(path);
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (ec)
        return path;
    return QDir::cleanPath(vx::fileNameFromBytes(here.native()) + QLatin1Char('/') + path);
}

} // namespace

QVector<QueueEntry> BuildQueue(const QStringList &paths)
{
    QVector<QueueEntry> queue;
    for (const QString &arg : paths) {
        const QString p = arg.trimmed();
        if (p.isEmpty())
            continue;
        queue.append({absolutePath(p), QLatin1Char(' ') + displayName(p)});
    }
    return queue;
}

FileDropLayout fileDropLayout(int W, int H)
{
    const auto less = [](int v, int k) { return v > k ? v - k : v; };
    return {less(H, 1000), less(W, 140), less(H, 780), 200, less(H, 1000), 100, less(H, 950), less(W, 1500)};
}

} // namespace tolv
