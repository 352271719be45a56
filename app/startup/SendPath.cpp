#include "app/startup/SendPath.h"

#include "app/Globals.h"
#include "common/Clock.h"
#include "common/Delay.h"
#include "link/SerialComm.h"
#include "platform/Cp1252.h"

#include <QCoreApplication>
#include <QThread>

namespace {

void yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool ctsOn()
{
    return Comm && Comm->CTSHolding();
}

int hexValue(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

void SendToChip(const QString &Text)
{
    if (Port == 0 || !Comm)
        return;
    for (qsizetype at = 0; at < Text.size(); at += 8) {
        // No time-out: only CTS or a stop request ends the wait.
        const double start = vx::Clock::seconds();
        while (!ctsOn()) {
            if (StopRequested)
                return;
            if (!Comm->PortOpen())
                break; // the write below reports the closed port
            yieldOnce();
            if (vx::Clock::seconds() - start > 0.1)
                QThread::msleep(10);
        }
        for (int i = 0; i < 3; ++i)
            yieldOnce();
        if (StopRequested)
            return;
        Comm->setOutput(vx::toCp1252(QStringView(Text).mid(at, 8)));
        for (int i = 0; i < 3; ++i)
            yieldOnce();
    }
}

void WaitForCTS()
{
    Delay(0.5);
    const double start = vx::Clock::seconds();
    while (vx::Clock::seconds() - start <= 5.0 && !ctsOn()) {
        yieldOnce();
        QThread::msleep(10);
    }
}

QString ExpandHexEscapes(QString &Text)
{
    qsizetype p = Text.indexOf(QLatin1Char('\\'));
    while (p >= 0) {
        if (p + 2 < Text.size()) {
            const int hi = hexValue(Text[p + 1]);
            const int lo = hexValue(Text[p + 2]);
            if (hi >= 0 && lo >= 0) {
                // The character that goes out as this byte.
                Text.replace(p, 3, vx::fromCp1252Char(static_cast<unsigned char>(hi * 16 + lo)));
            }
        }
        p = Text.indexOf(QLatin1Char('\\'), p + 1);
    }
    return Text;
}

QString HexByte(int Value)
{
    return QStringLiteral("%1").arg(Value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString ApplyCommandCharacter(QString &Text, const QString &Shortcut)
{
    // An empty or NUL shortcut is off; replacing NUL would turn the bytes of
    // "\00" escapes into commands.
    if (Shortcut.isEmpty() || Shortcut == QString(QChar(0)))
        return Text;
    // The caller's text stays as typed; only the result carries CmdChar.
    QString out = Text;
    out.replace(Shortcut, CmdChar, Qt::CaseSensitive);
    return out;
}

QString ApplyCommandCharacter(QString &Text)
{
    return ApplyCommandCharacter(Text, CommandChar);
}

QString GetWindowsVersion()
{
    // The program's features all exist here; report the version that the
    // callers treat as a current platform.
    return QStringLiteral("501");
}
