#pragma once

// Shared helpers of the download utility's window tests.

#include "tolvane/Globals.h"
#include "tolvane/TolvanePrefs.h"
#include "tolvane/ui/frmConfirm.h"

#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/SerialComm.h"
#include "platform/Settings.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace tolvtest {

inline QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QString::fromStdString(vxtest::freshDir("files")) + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

// A marked chip PCM file of the given (even) data length, as the recording memory holds it.
inline QByteArray markedPcm(quint16 tag, int dataLength, char fill)
{
    return chipsim::makeMarkedPcm(78, tag, QByteArray(dataLength - 1, fill));
}

// Fresh chip on COM1, fresh settings, fast clock.
inline chipsim::Chip *freshStart(int storedPort)
{
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qputenv("VOXMERE_COM1", "sim");
    vx::Clock::setSpeed(20);
    chipsim::resetSimulatedChips();
    DeleteSetting(tolv::appName(), QStringLiteral("Settings"));
    if (storedPort)
        SaveSetting(tolv::appName(), QStringLiteral("Settings"), QStringLiteral("Port"), QString::number(storedPort));
    ResetGlobals();
    return chipsim::simulatedChip(1);
}

inline QString setting(const char *key)
{
    return GetSetting(tolv::appName(), QStringLiteral("Settings"), QLatin1String(key));
}

// Answers every confirmation that appears while it lives: OK, Cancel or
// the close box, optionally ticking "Don't show again" first.
class ConfirmAnswerer
{
public:
    enum How { Ok, Cancel, CloseBox };
    ConfirmAnswerer(How how, bool tick = false)
    {
        mTimer.setInterval(5);
        QObject::connect(&mTimer, &QTimer::timeout, [this, how, tick] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *d = qobject_cast<frmConfirm *>(w);
                if (!d || !d->isVisible())
                    continue;
                ++seen;
                text = d->lblWarning->text();
                for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r?\n"))))
                    lineOverflow = std::max(lineOverflow, d->lblWarning->fontMetrics().horizontalAdvance(line.trimmed()) -
                                                              d->lblWarning->contentsRect().width());
                over = d->parentWidget();
                where = d->geometry();
                if (tick)
                    d->chkDispConfirm->click();
                if (how == Ok)
                    d->cmdOK->click();
                else if (how == Cancel)
                    d->cmdCancel->click();
                else
                    d->close();
            }
        });
        mTimer.start();
    }
    int seen = 0;
    QString text;
    QWidget *over = nullptr; // the window it belongs to
    QRect where;             // its place on the screen
    int lineOverflow = 0;    // how far its longest written line passes the notice's width

private:
    QTimer mTimer;
};

} // namespace tolvtest
