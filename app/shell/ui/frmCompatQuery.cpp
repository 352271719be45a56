#include "app/shell/ui/frmCompatQuery.h"

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "platform/Help.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kHelpTopic = vx::help::kCompatibilityQuery;

void write(const vx::SettingWrite &w)
{
    vx::saveChosenSetting(QLatin1String(kAppName), QStringLiteral("Settings"), w.first, w.second);
}

} // namespace

frmCompatQuery::frmCompatQuery(QWidget *parent)
    : NoticeDialog("frmCompatQuery", QStringLiteral("Chipset Compatibility"),
                   QStringLiteral("If you are developing an application for an SV3410-based product, check the "
                                  "'SV3410' checkbox. Voxmere will disable SV3420-specific functions and generate "
                                  "data files that are compatible with the SV3410."),
                   "lblCompat", parent)
    , mQuery(For10, SV10DataFiles)
{
    CmdOK = mOk;
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    chk3410 = new QCheckBox(QStringLiteral(" SV3410"), this);
    chk3410->setObjectName(QStringLiteral("chk3410"));
    cmdHelp = new QPushButton(QStringLiteral("&Tell Me More"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addSpacing(40);
    row->addWidget(chk3410);
    row->addStretch(1);
    row->addWidget(cmdHelp);
    mExtra->addLayout(row);
    setProperty("HelpTopic", kHelpTopic);

    // The box shows For10 first; only the user's clicks change the answer.
    chk3410->setChecked(For10);
    mQuery.finishLoading();
    connect(chk3410, &QCheckBox::clicked, this, [this](bool ticked) {
        mQuery.chk3410Clicked(ticked);
        For10 = mQuery.For10();
        SV10DataFiles = mQuery.SV10DataFiles();
    });
    connect(chkDispWarning, &QCheckBox::clicked, this, [this](bool ticked) {
        write(mQuery.dontShowClicked(ticked));
        ::DisplayCompatQuery = mQuery.DisplayCompatQuery();
    });
    connect(cmdHelp, &QPushButton::clicked, this, [] { vx::showHelpTopic(kHelpTopic); });
}

void frmCompatQuery::DisplayCompatQuery()
{
    Busy = true;
    ShowAndWait();
}

void frmCompatQuery::Accepted()
{
    write(mQuery.accept());
    Busy = false;
}
