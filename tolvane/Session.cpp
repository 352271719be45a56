#include "tolvane/Session.h"

#include "tolvane/Globals.h"
#include "tolvane/TolvanePrefs.h"

#include "common/Clock.h"
#include "common/Delay.h"
#include "link/SerialComm.h"

namespace tolv {

bool OpenPort(QString *error)
{
    SerialComm *comm = G.Comm;
    if (comm->PortOpen())
        return true;
    try {
        comm->setCommPort(G.Port);
        comm->setSettings(speedText(G.BaudRate) + QStringLiteral(",N,8,1"));
        comm->setHandshaking(SerialComm::comNone);
        comm->setInputMode(SerialComm::comInputModeBinary);
        comm->setOutBufferSize(256);
        comm->setRThreshold(0);
        // The chip hears nothing until DTR rises; the serial object keeps it low unless told.
        comm->setDTREnable(true);
        comm->setRTSEnable(true);
        comm->setPortOpen(true);
    } catch (const LinkError &e) {
        if (error)
            *error = e.description();
        return false;
    }
    Delay(0.25);
    return true;
}

void SendCrAndFlush()
{
    G.Comm->setOutput(QByteArray("\r"));
    Delay(0.5);
    G.Comm->setInBufferCount(0);
}

void SendEndOfSession()
{
    Delay(0.25);
    SendCrAndFlush();
    G.Comm->setOutput(QByteArray("\x01" "7h\0", 4));
}

void ClosePort()
{
    SerialComm *comm = G.Comm;
    if (!comm->PortOpen())
        return;
    // The last command must leave at the line's speed: closing the port at
    // once could drop it or let the line fall back to another speed first.
    const double end = vx::Clock::seconds() + 1.0;
    while (comm->OutBufferCount() > 0 && vx::Clock::seconds() < end)
        Delay(0.01);
    Delay(0.1);
    comm->setPortOpen(false);
}

} // namespace tolv
