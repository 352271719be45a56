#include "tolvane/TolvanePrefs.h"

#include "tolvane/Globals.h"

#include "platform/Settings.h"

namespace tolv {

namespace {
const QString kSection = QStringLiteral("Settings");
}

QString appName() { return QStringLiteral("Tolvane"); }

QString windowTitle()
{
    return appName() + QLatin1Char(' ') + QString::number(kVersionMajor) + QLatin1Char('.') +
           QString::number(kVersionMinor);
}

QString versionToolTip(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

const QStringList &baudRates()
{
    static const QStringList rates = {
        QStringLiteral("300"),  QStringLiteral("600"),   QStringLiteral("1200"),  QStringLiteral("2400"),
        QStringLiteral("4800"), QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
        QStringLiteral("57600"), QStringLiteral("115200")};
    return rates;
}

QString speedText(int baudRate)
{
    if (baudRate < 1 || baudRate > baudRates().size())
        return QStringLiteral("9600");
    return baudRates().at(baudRate - 1);
}

QString portInfoText(int port, int baudRate)
{
    return QStringLiteral("COM") + QString::number(port) + QLatin1Char(':') + speedText(baudRate);
}

void readSettings()
{
    const QString app = appName();
    G.DisplayDnldConfirm = vx::readBool(app, kSection, QStringLiteral("DisplayDnldConfirm"), true);
    G.DisplayErasConfirm = vx::readBool(app, kSection, QStringLiteral("DisplayErasConfirm"), true);
    G.Port = vx::readInt(app, kSection, QStringLiteral("Port"), 0);
    if (G.Port < 0 || G.Port > 32)
        G.Port = 0;
    G.BaudRate = vx::readInt(app, kSection, QStringLiteral("BaudRate"), 10);
    if (G.BaudRate < 1 || G.BaudRate > baudRates().size())
        G.BaudRate = 10;
}

void keepPortSettings(int port, int baudRate)
{
    if (port > 0)
        vx::writeInt(appName(), kSection, QStringLiteral("Port"), port);
    vx::writeInt(appName(), kSection, QStringLiteral("BaudRate"), baudRate);
}

// Each is the user's choice: a store that cannot keep it says so.
void savePort(int port) { vx::saveChosenInt(appName(), kSection, QStringLiteral("Port"), port); }
void saveBaudRate(int baudRate) { vx::saveChosenInt(appName(), kSection, QStringLiteral("BaudRate"), baudRate); }
void saveDisplayDnldConfirm(bool on) { vx::saveChosenBool(appName(), kSection, QStringLiteral("DisplayDnldConfirm"), on); }
void saveDisplayErasConfirm(bool on) { vx::saveChosenBool(appName(), kSection, QStringLiteral("DisplayErasConfirm"), on); }

} // namespace tolv
