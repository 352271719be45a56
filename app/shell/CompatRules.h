#pragma once

// The rules of the compatibility query and the emulation notice, and of
// Reset Notifications: which settings change, and when they are written.
// The dialogs show the controls and write what these return.

#include <QString>

#include <utility>
#include <vector>

namespace vx {

// A settings write of the section "Settings": key and text ("True"/"False").
using SettingWrite = std::pair<QString, QString>;

[[nodiscard]] QString BoolSettingText(bool value);

// The compatibility query while it is up.
class CompatQuery
{
public:
    // For10 and SV10DataFiles as they are when the query opens.
    CompatQuery(bool for10, bool sv10DataFiles);

    // The box shows For10 while loading; clicks before that are the load's own.
    void finishLoading() { mLoaded = true; }
    void chk3410Clicked(bool ticked);
    // "Don't show again": the setting is written at once.
    [[nodiscard]] SettingWrite dontShowClicked(bool ticked);
    // OK, and the close box, which must end the wait the same way.
    [[nodiscard]] SettingWrite accept();

    [[nodiscard]] bool done() const { return mDone; }
    [[nodiscard]] bool For10() const { return mFor10; }
    [[nodiscard]] bool SV10DataFiles() const { return mSV10DataFiles; }
    [[nodiscard]] bool DisplayCompatQuery() const { return mDisplay; }

private:
    bool mFor10;
    bool mSV10DataFiles;
    bool mDisplay = true;
    bool mLoaded = false;
    bool mDone = false;
};

// The emulation notice's "Don't show again": DisplaySV10Warning, written at once.
[[nodiscard]] SettingWrite WarningDontShowClicked(bool ticked);

// Reset Notifications after Yes: both notices on again, written at once.
[[nodiscard]] std::vector<SettingWrite> ResetNotificationWrites();
[[nodiscard]] QString ResetNotificationsQuestion();

} // namespace vx
