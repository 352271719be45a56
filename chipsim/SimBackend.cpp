#include "chipsim/SimBackend.h"

#include "chipsim/Chip.h"
#include "link/SerialComm.h"

#include <QCoreApplication>
#include <QPointer>

#include <map>

namespace chipsim {

namespace {

// The chip on a line of the port's speed.
class SimBackend final : public SerialBackend
{
public:
    SimBackend(SerialComm *owner, Chip *chip) : SerialBackend(owner), mChip(chip) {}
    ~SimBackend() override { close(); }

    bool open(int baud, int, bool dtr, bool rts, QString *error) override
    {
        if (!mChip) {
            *error = QStringLiteral("The emulated chip is gone.");
            return false;
        }
        mBaud = baud;
        mOpen = true;
        // Bytes the chip sends at another speed are lost on the line.
        mConnection = QObject::connect(mChip, &Chip::transmit, [this](const QByteArray &bytes, int baud) {
            if (mOpen && baud == mBaud)
                deliver(bytes);
        });
        mCtsConnection = QObject::connect(mChip, &Chip::ctsChanged, [this] {
            if (mOpen)
                lineChanged();
        });
        mChip->setDtr(dtr);
        mChip->setRts(rts);
        return true;
    }
    void close() override
    {
        if (!mOpen)
            return;
        mOpen = false;
        QObject::disconnect(mConnection);
        QObject::disconnect(mCtsConnection);
        if (mChip)
            mChip->setDtr(false);
    }
    bool isOpen() const override { return mOpen; }
    void setBaud(int baud) override { mBaud = baud; }
    void setDtr(bool on) override
    {
        if (mChip)
            mChip->setDtr(on);
    }
    void setRts(bool on) override
    {
        if (mChip)
            mChip->setRts(on);
    }
    bool cts() const override { return mOpen && mChip && mChip->cts(); }
    void write(const QByteArray &bytes) override
    {
        if (mChip)
            mChip->receive(bytes, mBaud);
    }
    int pendingOutput() const override { return 0; }
    void dropOutput() override {}
    [[nodiscard]] Chip *chip() const { return mChip; }

private:
    QPointer<Chip> mChip;
    QMetaObject::Connection mConnection;
    QMetaObject::Connection mCtsConnection;
    int mBaud = 9600;
    bool mOpen = false;
};

std::map<int, QPointer<Chip>> &simChips()
{
    static std::map<int, QPointer<Chip>> chips;
    return chips;
}

Chip *chipFor(int port, const QString &device)
{
    QPointer<Chip> &chip = simChips()[port];
    if (!chip)
        chip = new Chip(ChipConfig::forModel(device.mid(4)), QCoreApplication::instance());
    return chip;
}

class SimDeviceKind final : public SerialDeviceKind
{
public:
    std::unique_ptr<SerialBackend> create(SerialComm *owner, int port, const QString &device) override
    {
        return std::make_unique<SimBackend>(owner, chipFor(port, device));
    }
};

} // namespace

void registerSimDevice()
{
    static SimDeviceKind kind;
    registerSerialDeviceKind(QStringLiteral("sim"), &kind);
}

Chip *simulatedChip(int port)
{
    registerSimDevice();
    const QString device = SerialComm::deviceFor(port);
    if (device != QStringLiteral("sim") && !device.startsWith(QStringLiteral("sim:")))
        return nullptr;
    return chipFor(port, device);
}

void resetSimulatedChips()
{
    for (auto &entry : simChips())
        delete entry.second.data();
    simChips().clear();
}

Chip *emulatorOf(const SerialComm &comm)
{
    const auto *sim = dynamic_cast<const SimBackend *>(comm.backend());
    return sim ? sim->chip() : nullptr;
}

} // namespace chipsim
