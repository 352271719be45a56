#include "app/shell/CompatRules.h"

namespace vx {

QString BoolSettingText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

CompatQuery::CompatQuery(bool for10, bool sv10DataFiles)
    : mFor10(for10)
    , mSV10DataFiles(sv10DataFiles)
{
}

void CompatQuery::chk3410Clicked(bool ticked)
{
    if (!mLoaded)
        return;
    mFor10 = ticked;
    mSV10DataFiles = ticked;
}

SettingWrite CompatQuery::dontShowClicked(bool ticked)
{
    mDisplay = !ticked;
    return {QStringLiteral("DisplayCompatQuery"), BoolSettingText(mDisplay)};
}

SettingWrite CompatQuery::accept()
{
    mDone = true;
    return {QStringLiteral("For10"), BoolSettingText(mFor10)};
}

SettingWrite WarningDontShowClicked(bool ticked)
{
    return {QStringLiteral("DisplaySV10Warning"), BoolSettingText(!ticked)};
}

std::vector<SettingWrite> ResetNotificationWrites()
{
    return {{QStringLiteral("DisplaySV10Warning"), QStringLiteral("True")},
            {QStringLiteral("DisplayCompatQuery"), QStringLiteral("True")}};
}

QString ResetNotificationsQuestion()
{
    return QStringLiteral("Reset all \"Don't show again\" notifications?\r\n");
}

} // namespace vx
