#include "app/shell/UpdateInfo.h"

#include "app/startup/MainWindowRules.h"
#include "app/startup/SendPath.h"
#include "platform/Numbers.h"

#include <QUrl>

namespace vx {

bool ParseUpdateInfo(const QString &body, UpdateInfo *out)
{
    const QString crlf = QStringLiteral("\r\n");
    const qsizetype p1 = body.indexOf(crlf);
    if (p1 <= 0)
        return false;
    const qsizetype p2 = body.indexOf(crlf, p1 + 2);
    if (p2 < 0)
        return false;
    UpdateInfo info;
    info.latestVersion = body.left(p1);
    info.link = body.mid(p1 + 2, p2 - p1 - 2);
    info.releaseInfo = body.mid(p2 + 2);
    const QUrl url(info.link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    if (out)
        *out = info;
    return true;
}

QString InstalledVersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

UpdateCheck CheckForUpdate(const QString &body, const QString &installedVersion)
{
    UpdateCheck check;
    if (!ParseUpdateInfo(body, &check.info))
        return check;
    check.verdict = check.info.latestVersion == installedVersion ? UpdateVerdict::Latest : UpdateVerdict::Offer;
    return check;
}

QString ChipVersionText(const std::array<uint8_t, 8> &chipInfo, bool isOlderChip, bool haveChip)
{
    if (!haveChip)
        return QStringLiteral("Chipset version: n/a");
    return QStringLiteral("Chipset version ") + HexByte(chipInfo[7]) + HexByte(chipInfo[6]) + QLatin1Char('.') +
           HexByte(chipInfo[5]) + HexByte(chipInfo[4]) +
           (isOlderChip ? QStringLiteral(" (SV3410)") : QStringLiteral(" (SV3420)"));
}

QString ChipMemoryText(int32_t recMemBytes, bool haveChip)
{
    if (!haveChip)
        return QStringLiteral("Recording memory: n/a");
    const double kb = recMemBytes / 1024.0;
    return mainwin::formatThousands(roundHalfEven(kb)) + QStringLiteral(" KB ") + mainwin::recMemMinutesText(kb) +
           QStringLiteral(" recording memory");
}

} // namespace vx
