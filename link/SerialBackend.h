#pragma once

// What stands behind the serial object: a device, or whatever a program
// registers as a kind of device (the chip emulator registers "sim"). The
// serial object asks the registry for the kind a port's device names
// ("kind" or "kind:<detail>") and falls back to a serial device.

#include <QByteArray>
#include <QString>

#include <memory>

class SerialComm;

class SerialBackend
{
public:
    explicit SerialBackend(SerialComm *owner) : mOwner(owner) {}
    virtual ~SerialBackend() = default;
    SerialBackend(const SerialBackend &) = delete;
    SerialBackend &operator=(const SerialBackend &) = delete;

    virtual bool open(int baud, int handshaking, bool dtr, bool rts, QString *error) = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
    virtual void setBaud(int baud) = 0;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    [[nodiscard]] virtual bool cts() const = 0;
    virtual void write(const QByteArray &bytes) = 0;
    [[nodiscard]] virtual int pendingOutput() const = 0;
    virtual void dropOutput() = 0;
    virtual void dropInput() {}

protected:
    // Hands received bytes to the serial object.
    void deliver(const QByteArray &bytes);
    // Tells the serial object that CTS may have changed or output left, so
    // a wait on the line looks again at once. A backend that cannot tell is
    // looked at every few milliseconds instead.
    void lineChanged();
    SerialComm *mOwner;
};

// A kind of device a program adds to the serial object.
class SerialDeviceKind
{
public:
    virtual ~SerialDeviceKind() = default;
    // The backend for port `port`, whose device reads `device` ("sim",
    // "sim:SV3410"); nullptr when it cannot be made.
    [[nodiscard]] virtual std::unique_ptr<SerialBackend> create(SerialComm *owner, int port,
                                                                const QString &device) = 0;
};

// Registers (or, with nullptr, removes) the kind named `name`. The kind must
// outlive its registration.
void registerSerialDeviceKind(const QString &name, SerialDeviceKind *kind);
// The kind a device value names, nullptr for a plain device path.
[[nodiscard]] SerialDeviceKind *serialDeviceKindFor(const QString &device);
