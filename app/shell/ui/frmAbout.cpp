#include "app/shell/ui/frmAbout.h"

#include "app/Globals.h"
#include "app/shell/UpdateFetch.h"
#include "app/shell/UpdateInfo.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/Version.h"
#include "link/cTolvane.h"
#include "platform/Launcher.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, QVBoxLayout *layout, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    layout->addWidget(l);
    return l;
}

QString versionTwoDigits()
{
    return QStringLiteral("%1.%2").arg(vx::kVersionMajor).arg(vx::kVersionMinor, 2, 10, QLatin1Char('0'));
}

} // namespace

// --- About ----------------------------------------------------------------------

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Voxmere"));
    auto *v = new QVBoxLayout(this);
    lblTitle = label(this, v, "lblTitle", QString());
    lblVersion = label(this, v, "lblVersion", QString());
    lblChipVersion = label(this, v, "lblChipVersion", QStringLiteral("Chipset version"));
    lblChipMemory = label(this, v, "lblChipMemory", QStringLiteral("Rec memory"));
    lblCopyright = label(this, v, "lblCopyright", QString());
    lblDescription = label(this, v, "lblDescription",
                           QStringLiteral("This program works in conjunction with the Vellatone SV3410 and SV3420 "
                                          "chipsets. It enables you to exercise the functions of the chipsets and "
                                          "create downloadable data files for them."));
    lblDisclaimer = label(this, v, "lblDisclaimer",
                          QStringLiteral("Warning: this program is protected by copyright law. Unauthorized "
                                         "copying or distribution of it, or of any part of it, is prohibited."));
    auto *buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    v->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    Form_Load();
}

void frmAbout::Form_Load()
{
    lblTitle->setText(vx::programTitle() + QLatin1Char(' ') + versionTwoDigits());
    lblCopyright->setText(QStringLiteral("Copyright (C) Vellatone. All rights reserved."));
    lblVersion->setText(QStringLiteral("Program version ") + versionTwoDigits() + QStringLiteral("  build ") +
                        QString::number(vx::kVersionRevision));
    const bool haveChip = Port > 0 && cTolv;
    std::array<uint8_t, 8> info{};
    int32_t recMem = 0;
    if (haveChip) {
        info = cTolv->GetChipInfo().bytes;
        recMem = cTolv->GetStatus().get32(LinkStatus::OffRecMemBytes);
    }
    lblChipVersion->setText(vx::ChipVersionText(info, IsOlderChip, haveChip));
    lblChipMemory->setText(vx::ChipMemoryText(recMem, haveChip));
}

void frmAbout::StartSysInfo()
{
    // The desktop's own system-information tools, first found wins.
    for (const char *name : {"gnome-system-monitor", "hardinfo", "kinfocenter"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty() && vx::startProgram(program, {}))
            return;
    }
    vx::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
}

// --- Software update ----------------------------------------------------------

QString UpdateSite()
{
    const QString site = qEnvironmentVariable("VOXMERE_UPDATE_SITE");
    return site.isEmpty() ? QStringLiteral("https://www.vellatone.example") : site;
}

QUrl UpdateInfoUrl(const QString &site)
{
    QString s = site;
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return QUrl(s + QStringLiteral("/Downloads/Fw20Inf.txt"));
}

frmSwUpdate::frmSwUpdate(const QString &site, QWidget *parent)
    : QDialog(parent)
    , mSite(site)
{
    setObjectName(QStringLiteral("frmSwUpdate"));
    setWindowTitle(QStringLiteral("Software Update"));
    // Wide enough for its caption and for the instructions in a few lines.
    setMinimumWidth(vx::twipsToPixels(6300));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *v = new QVBoxLayout(this);
    lblTitle = label(this, v, "lblTitle", QStringLiteral(" Voxmere"));
    lblRetrievingInfo = label(this, v, "lblRetrievingInfo", QStringLiteral("Retrieving version information..."));
    lblNoConnection =
        label(this, v, "lblNoConnection", QStringLiteral("Unable to connect with server. Please try again later."));
    lblNoUpdates = label(this, v, "lblNoUpdates", QStringLiteral("You are using the latest version of Voxmere."));
    lblInstVerTtl = label(this, v, "lblInstVerTtl", QStringLiteral("Installed Version:"));
    lblInstVer = label(this, v, "lblInstVer", QStringLiteral("0.0.0"));
    lblLatestVerTtl = label(this, v, "lblLatestVerTtl", QStringLiteral("Latest Version:"));
    lblLatestVer = label(this, v, "lblLatestVer", QStringLiteral("0.0.0"));
    lblRelInfoTtl = label(this, v, "lblRelInfoTtl", QStringLiteral("Release Information:"));
    lblRelInfo = label(this, v, "lblRelInfo", QStringLiteral("Release information..."));
    lblRelInfo->setTextFormat(Qt::PlainText);
    lblLatestVer->setTextFormat(Qt::PlainText);
    lblDnldInstructions = label(this, v, "lblDnldInstructions",
                                QStringLiteral("To get the latest software update, click on the Download button "
                                               "below. After the file has finished downloading, run it to update "
                                               "the software."));
    auto *buttons = new QHBoxLayout;
    cmdDownload = new QPushButton(QStringLiteral("Download..."), this);
    cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdCancel);
    v->addLayout(buttons);
    connect(cmdDownload, &QPushButton::clicked, this, &frmSwUpdate::cmdDownload_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSwUpdate::cmdCancel_Click);
}

frmSwUpdate::~frmSwUpdate() = default;

QString frmSwUpdate::FetchText(const QUrl &url, int timeoutMs, const vx::FetchCancel *cancel)
{
    return QString::fromUtf8(vx::fetchUpdateFile(url, timeoutMs, cancel));
}

void frmSwUpdate::Form_Load(int timeoutMs)
{
    for (QLabel *l : {lblInstVerTtl, lblInstVer, lblLatestVerTtl, lblLatestVer, lblRelInfoTtl, lblRelInfo,
                      lblNoConnection, lblDnldInstructions, lblNoUpdates})
        l->hide();
    lblRetrievingInfo->show();
    cmdDownload->setEnabled(false);
    adjustSize();
    if (QWidget *main = parentWidget())
        move(main->mapToGlobal(QPoint((main->width() - width()) / 2, (main->height() - height()) / 4)));
    show();

    // A close while the fetch waits (a stop signal dismisses the window so)
    // ends the fetch; the window deletes itself meanwhile, so nothing of it
    // is touched after that.
    vx::FetchCancel cancel;
    connect(this, &QDialog::finished, &cancel, &vx::FetchCancel::cancel);
    const QString text = FetchText(UpdateInfoUrl(mSite), timeoutMs, &cancel);
    if (cancel.cancelled())
        return;
    const QString installed = vx::InstalledVersionText(vx::kVersionMajor, vx::kVersionMinor, vx::kVersionRevision);
    const vx::UpdateCheck check = vx::CheckForUpdate(text, installed);
    if (check.verdict == vx::UpdateVerdict::NoInformation) {
        // The retrieval is over, so its label goes; the two never overlap.
        lblRetrievingInfo->hide();
        lblNoConnection->show();
        adjustSize();
        return;
    }
    lblLatestVer->setText(check.info.latestVersion);
    mLink = check.info.link;
    lblRelInfo->setText(check.info.releaseInfo);
    lblInstVer->setText(installed);
    lblRetrievingInfo->hide();
    for (QLabel *l : {lblInstVerTtl, lblInstVer, lblLatestVerTtl, lblLatestVer})
        l->show();
    if (check.verdict == vx::UpdateVerdict::Latest) {
        lblNoUpdates->show();
    } else {
        lblRelInfoTtl->show();
        lblRelInfo->show();
        cmdDownload->setEnabled(true);
        lblDnldInstructions->show();
    }
    adjustSize(); // its height follows what it now shows
}

void frmSwUpdate::cmdDownload_Click()
{
    cmdDownload->setEnabled(false);
    // The browser fetches the file; only http and https links get here.
    if (!QDesktopServices::openUrl(QUrl(mLink))) {
        // The window stays, and with it the link, for another try.
        vx::MsgBox(QStringLiteral("No web browser could be started to download %1.").arg(mLink), vx::Buttons::Ok,
                   vx::Icon::Exclamation);
        cmdDownload->setEnabled(true);
        return;
    }
    close();
}

void frmSwUpdate::cmdCancel_Click()
{
    close();
}

void frmSwUpdate::closeEvent(QCloseEvent *event)
{
    // The check never began a busy state, so closing it ends none: another
    // operation that runs meanwhile keeps its own.
    UpdateToolbarState();
    QDialog::closeEvent(event);
}
