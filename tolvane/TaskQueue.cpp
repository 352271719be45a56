#include "tolvane/TaskQueue.h"

#include "tolvane/FileTypes.h"

#include <QFileInfo>

namespace tolv {

QVector<QueueEntry> BuildQueue(const QStringList &paths)
{
    QVector<QueueEntry> queue;
    for (const QString &arg : paths) {
        const QString p = arg.trimmed();
        if (p.isEmpty())
            continue;
        queue.append({QFileInfo(p).absoluteFilePath(), QLatin1Char(' ') + displayName(p)});
    }
    return queue;
}

FileDropLayout fileDropLayout(int W, int H)
{
    const auto less = [](int v, int k) { return v > k ? v - k : v; };
    return {less(H, 1000), less(W, 140), less(H, 780), 200, less(H, 1000), 100, less(H, 950), less(W, 1500)};
}

} // namespace tolv
