#pragma once

// The program's link to the in-process chip on COM1, open as start-up leaves
// it, for window tests that talk to the chip. Call after ResetGlobals().

#include "app/Globals.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "link/cTolvane.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace vxtest {

inline std::unique_ptr<cTolvane> openSimLink(const QString &settings, const QByteArray &firstOutput)
{
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qputenv("VOXMERE_COM1", "sim");
    chipsim::registerSimDevice();
    chipsim::resetSimulatedChips();
    auto link = std::make_unique<cTolvane>();
    link->setReplyTimeout(5.0);
    cTolv = link.get();
    Comm = link->GetCommObject();
    Comm->setCommPort(1);
    Comm->setSettings(settings);
    Comm->setDTREnable(true);
    Comm->setPortOpen(true);
    Comm->setOutput(firstOutput);
    return link;
}

// Closes that link and clears the program's references to it.
inline void closeSimLink(std::unique_ptr<cTolvane> &link)
{
    if (Comm)
        Comm->setPortOpen(false);
    cTolv = nullptr;
    Comm = nullptr;
    link.reset();
}

// Opens link's serial port on COM<port> to a fresh simulated chip at
// 9600 baud and makes it the program's port; returns the chip, logs cleared.
inline chipsim::Chip *attachSimChip(cTolvane &link, int port)
{
    qputenv("VOXMERE_COM" + QByteArray::number(port), "sim");
    chipsim::resetSimulatedChips();
    chipsim::Chip *chip = chipsim::simulatedChip(port);
    Comm = link.GetCommObject();
    Comm->setCommPort(port);
    Comm->setSettings(QStringLiteral("9600,N,8,1"));
    Comm->setDTREnable(true);
    Comm->setPortOpen(true);
    Port = port;
    chip->clearLogs();
    return chip;
}

// Closes that port again and leaves the program without one.
inline void detachSimChip()
{
    if (Comm) {
        Comm->setPortOpen(false);
        Comm = nullptr;
    }
    Port = 0;
}

} // namespace vxtest
