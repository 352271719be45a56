#include "app/shell/ui/frmWarning.h"

#include "app/Globals.h"
#include "app/shell/CompatRules.h"
#include "app/startup/Busy.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QPushButton>

frmWarning::frmWarning(QWidget *parent)
    : NoticeDialog("frmWarning", QStringLiteral("Warning"),
                   QStringLiteral("You just cleared the S10 bit, which causes the SV3420 to operate in SV3410 "
                                  "emulation mode. Consequently, some features have been disabled and parameter "
                                  "ranges adjusted."),
                   "lblWarning", parent)
{
    cmdOk = mOk;
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    connect(chkDispWarning, &QCheckBox::clicked, this, [](bool ticked) {
        const vx::SettingWrite w = vx::WarningDontShowClicked(ticked);
        DisplaySV10Warning = !ticked;
        vx::saveChosenSetting(QLatin1String(kAppName), QStringLiteral("Settings"), w.first, w.second);
    });
}

void frmWarning::DisplayWarning()
{
    BeginBusy();
    ShowAndWait();
    EndBusy();
}
