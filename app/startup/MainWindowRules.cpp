#include "app/startup/MainWindowRules.h"

#include "app/Globals.h"
#include "platform/Numbers.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace mainwin {

QString appName()
{
    return QLatin1String(kAppName);
}

namespace {
QString section()
{
    return QLatin1String(kSection);
}
} // namespace

int centredPosition(int screenSize, int windowSize)
{
    return (screenSize - windowSize) / 2;
}

int placeOnScreen(int stored, int windowSize, int screenSize)
{
    if (stored < 100 - windowSize || stored > screenSize - 100)
        return centredPosition(screenSize, windowSize);
    return stored;
}

MainGeometry readMainGeometry(int screenWidth, int screenHeight, int wantedWidth)
{
    const QString app = appName();
    MainGeometry g;
    g.width = vx::readInt(app, section(), QStringLiteral("MDIWidth"),
                          std::max(g.width, std::min(wantedWidth, screenWidth)));
    g.height = vx::readInt(app, section(), QStringLiteral("MDIHeight"), 9330);
    const int left = vx::readInt(app, section(), QStringLiteral("MDILeft"), centredPosition(screenWidth, g.width));
    g.left = placeOnScreen(left, g.width, screenWidth);
    const int top = vx::readInt(app, section(), QStringLiteral("MDITop"), centredPosition(screenHeight, g.height));
    g.top = placeOnScreen(top, g.height, screenHeight);
    g.windowState = vx::readInt(app, section(), QStringLiteral("MDIWindowState"), 0);
    return g;
}

void saveMainGeometry(const MainGeometry &g)
{
    const QString app = appName();
    vx::writeInt(app, section(), QStringLiteral("MDIWidth"), g.width);
    vx::writeInt(app, section(), QStringLiteral("MDIHeight"), g.height);
    vx::writeInt(app, section(), QStringLiteral("MDILeft"), g.left);
    vx::writeInt(app, section(), QStringLiteral("MDITop"), g.top);
    vx::writeInt(app, section(), QStringLiteral("MDIWindowState"), g.windowState);
}

QString splashVersionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString formatThousands(std::int64_t value)
{
    const bool negative = value < 0;
    QString digits = QString::number(negative ? -value : value);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString recMemMinutesText(double kb)
{
    if (kb == 512)
        return QStringLiteral("(2 min)");
    if (kb == 1536)
        return QStringLiteral("(7 min)");
    if (kb == 3584)
        return QStringLiteral("(15 min)");
    if (kb == 7680)
        return QStringLiteral("(33 min)");
    return QStringLiteral("(0 min)");
}

QString chipsetPanelText(const QString &chipModel, std::int32_t recMemBytes, std::int32_t recMemBytesForMinutes)
{
    const std::int64_t shown = vx::roundHalfEven(static_cast<double>(recMemBytes) / 1024.0);
    return QStringLiteral("Chipset: ") + chipModel + QLatin1Char('/') + formatThousands(shown) +
           QStringLiteral(" KB ") + recMemMinutesText(static_cast<double>(recMemBytesForMinutes) / 1024.0);
}

QString dictionaryPanelText(bool dictionaryKnown)
{
    return dictionaryKnown ? QStringLiteral("Dictionary: (unknown)") : QStringLiteral("Dictionary: (none)");
}

QString commandLineFile(const QString &commandLine)
{
    QString path = commandLine.trimmed();
    if (path.startsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

QString commandLineOf(const QStringList &arguments, const QString &startFolder)
{
    const QString commandLine = arguments.join(QLatin1Char(' '));
    const QString file = commandLineFile(commandLine);
    if (file.isEmpty() || !QFileInfo(file).isRelative())
        return commandLine;
    return QDir::cleanPath(QDir(startFolder).absoluteFilePath(file));
}

} // namespace mainwin
