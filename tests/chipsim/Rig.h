#pragma once

// Shared helpers of the link tests: pumping the event loop on program time,
// files to send.

#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/SerialComm.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <functional>

namespace linktest {

inline const QByteArray C("\x01");
inline const QByteArray NUL(1, '\0');

// Writes a file in a fresh folder and returns its path.
inline QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QString::fromStdString(vxtest::freshDir("files")) + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// Runs the event loop until done() holds or the program-time timeout passed.
inline bool pumpUntil(const std::function<bool()> &done, double seconds = 2.0)
{
    const double end = vx::Clock::seconds() + seconds;
    while (!done()) {
        if (vx::Clock::seconds() > end)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

inline void pump(double seconds)
{
    pumpUntil([] { return false; }, seconds);
}

// Port 6 on a fresh in-process chip, opened as a program opens it (through
// its own serial object or the one given), with the chip's speed set by a
// first CR.
struct SimLine
{
    explicit SimLine(const QString &speed = QStringLiteral("9600"), const QByteArray &device = "sim",
                     SerialComm *use = nullptr)
        : comm(use ? *use : own)
    {
        SerialComm::setProgramName(QStringLiteral("Voxmere"));
        qputenv("VOXMERE_COM6", device);
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(6);
        comm.setCommPort(6);
        setSpeed(speed);
        comm.setInputMode(SerialComm::comInputModeBinary);
        comm.setDTREnable(true);
        comm.setPortOpen(true);
        comm.setOutput(QByteArray("\r"));
    }
    ~SimLine() { comm.setPortOpen(false); }

    void setSpeed(const QString &speed) { comm.setSettings(speed + QStringLiteral(",N,8,1")); }
    // Writes as the send path does: pieces of 8 bytes, each once CTS is on.
    bool send(const QByteArray &bytes)
    {
        for (qsizetype at = 0; at < bytes.size(); at += 8) {
            if (!pumpUntil([this] { return comm.CTSHolding(); }))
                return false;
            comm.setOutput(bytes.mid(at, 8));
            QCoreApplication::processEvents();
        }
        return true;
    }
    // What the chip sent, once the line was quiet for `quiet` seconds (at
    // most `limit` seconds in all).
    QByteArray read(double quiet = 0.1, double limit = 5.0)
    {
        const double end = vx::Clock::seconds() + limit;
        QByteArray got;
        double last = vx::Clock::seconds();
        while (vx::Clock::seconds() < end && vx::Clock::seconds() - last < quiet) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
            if (comm.InBufferCount() > 0) {
                comm.setInputLen(0);
                got += comm.Input();
                last = vx::Clock::seconds();
            }
        }
        return got;
    }

    SerialComm own;
    SerialComm &comm;
    chipsim::Chip *chip = nullptr;
};

} // namespace linktest
