#include "app/startup/ui/frmSplash.h"

#include "app/startup/MainWindowRules.h"
#include "app/startup/Version.h"
#include "app/startup/ui/Images.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QPointer<frmSplash> &splash()
{
    static QPointer<frmSplash> s;
    return s;
}
} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QSize pictureSize(420, 220);

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setPixmap(images::splashImage(pictureSize));

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblNotice = new QLabel(this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    lblNotice->setText(QStringLiteral("Workbench for the SV3410 and SV3420 text-to-speech chips. "
                                      "This program is protected by copyright law."));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(imgSplash);
    auto *text = new QVBoxLayout;
    text->setContentsMargins(12, 0, 12, 0);
    text->addWidget(lblVersion);
    text->addWidget(lblNotice);
    layout->addLayout(text);
    setStyleSheet(QStringLiteral("frmSplash { background: white; border: 1px solid #283e6e; }"));
}

frmSplash *frmSplash::Show()
{
    if (!splash()) {
        splash() = new frmSplash;
        splash()->lblVersion->setText(
            mainwin::splashVersionText(vx::kVersionMajor, vx::kVersionMinor, vx::kVersionRevision));
        splash()->adjustSize();
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect r = screen->availableGeometry();
            splash()->move(r.center() - splash()->rect().center());
        }
    }
    splash()->show();
    QCoreApplication::processEvents();
    return splash();
}

frmSplash *frmSplash::loaded()
{
    return splash();
}

void UnloadSplash()
{
    if (frmSplash *s = splash()) {
        splash() = nullptr;
        s->hide();
        delete s;
    }
}
