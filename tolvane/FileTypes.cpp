#include "tolvane/FileTypes.h"

#include <QFileInfo>

namespace tolv {

bool isDownloadable(const QString &path)
{
    static const QStringList kinds = {QStringLiteral("pcm"), QStringLiteral("sfx"), QStringLiteral("dix"),
                                      QStringLiteral("grt"), QStringLiteral("bin")};
    return kinds.contains(path.right(3).toLower());
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
