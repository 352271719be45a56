#include "tolvane/FileTypes.h"

#include "link/DownloadCheck.h"

#include <QFileInfo>

namespace tolv {

bool isDownloadable(const QString &path)
{
    // The link's own rule, so the queue and the link never disagree.
    return vx::downloadStreamOfFile(path) != vx::DownloadStream::Other;
}

QString downloadFilter()
{
    return QStringLiteral("Downloadable Files (*.bin; *.dix; *.grt; *.pcm; *.sfx)|*.bin; *.dix; *.grt; *.pcm; *.sfx|"
                          "All Files (*.*)|*.*");
}

QString ProperCase(const QString &text)
{
    QString out = text.toLower();
    bool start = true;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        const bool separator = u == u' ' || u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r' || u == 0;
        if (start && !separator)
            c = c.toUpper();
        start = separator;
    }
    return out;
}

QString displayName(const QString &path) { return ProperCase(QFileInfo(path).fileName()); }

} // namespace tolv
