#include "link/SerialComm.h"

#include "common/Clock.h"
#include "platform/Cp1252.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <map>
#include <sys/ioctl.h>
#include <termios.h>

// --- Backends ----------------------------------------------------------------

void SerialBackend::deliver(const QByteArray &bytes)
{
    mOwner->received(bytes);
}

namespace {

// A serial device or a pseudo-terminal, through QSerialPort.
class DeviceBackend final : public SerialBackend
{
public:
    DeviceBackend(SerialComm *owner, const QString &path) : SerialBackend(owner)
    {
        mPort.setPortName(path);
        QObject::connect(&mPort, &QSerialPort::readyRead, [this] { deliver(mPort.readAll()); });
    }

    bool open(int baud, int handshaking, bool dtr, bool rts, QString *error) override
    {
        mPort.setBaudRate(baud);
        mPort.setDataBits(QSerialPort::Data8);
        mPort.setParity(QSerialPort::NoParity);
        mPort.setStopBits(QSerialPort::OneStop);
        mPort.setFlowControl(handshaking == SerialComm::comRTS        ? QSerialPort::HardwareControl
                             : handshaking == SerialComm::comXOnXoff ? QSerialPort::SoftwareControl
                                                                     : QSerialPort::NoFlowControl);
        if (!mPort.open(QIODevice::ReadWrite)) {
            *error = mPort.errorString();
            return false;
        }
        setDtr(dtr);
        setRts(rts);
        return true;
    }
    void close() override { mPort.close(); }
    bool isOpen() const override { return mPort.isOpen(); }
    void setBaud(int baud) override
    {
        // What was written goes out at the old speed before the switch.
        mPort.flush();
        if (mPort.isOpen())
            ::tcdrain(int(mPort.handle()));
        mPort.setBaudRate(baud);
    }
    // A pseudo-terminal has no modem lines: setting them fails, harmlessly.
    void setDtr(bool on) override
    {
        mPort.setDataTerminalReady(on);
        mPort.clearError();
    }
    void setRts(bool on) override
    {
        mPort.setRequestToSend(on);
        mPort.clearError();
    }
    bool cts() const override
    {
        if (!mPort.isOpen())
            return false;
        int bits = 0;
        if (::ioctl(int(mPort.handle()), TIOCMGET, &bits) != 0)
            return true; // no modem lines (pseudo-terminal): always clear to send
        return (bits & TIOCM_CTS) != 0;
    }
    void write(const QByteArray &bytes) override
    {
        mPort.write(bytes);
        mPort.flush();
    }
    int pendingOutput() const override { return int(mPort.bytesToWrite()); }
    void dropOutput() override { mPort.clear(QSerialPort::Output); }
    void dropInput() override
    {
        mPort.clear(QSerialPort::Input);
        mPort.readAll();
    }

private:
    mutable QSerialPort mPort;
};

std::map<QString, SerialDeviceKind *> &deviceKinds()
{
    static std::map<QString, SerialDeviceKind *> kinds;
    return kinds;
}

QString &programName()
{
    static QString name;
    return name;
}

int parseSettings(const QString &settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        return 0;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return 0;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity))
        return 0;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 4 || data > 8)
        return 0;
    const QString stop = parts[3].trimmed();
    if (stop != QStringLiteral("1") && stop != QStringLiteral("1.5") && stop != QStringLiteral("2"))
        return 0;
    return baud;
}

[[noreturn]] void invalidValue()
{
    throw LinkError(LinkError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
}

} // namespace

void registerSerialDeviceKind(const QString &name, SerialDeviceKind *kind)
{
    if (kind)
        deviceKinds()[name] = kind;
    else
        deviceKinds().erase(name);
}

SerialDeviceKind *serialDeviceKindFor(const QString &device)
{
    const auto it = deviceKinds().find(device.section(QLatin1Char(':'), 0, 0));
    return it == deviceKinds().end() ? nullptr : it->second;
}

// --- The serial object --------------------------------------------------------

SerialComm::SerialComm(QObject *parent) : QObject(parent)
{
}

SerialComm::~SerialComm()
{
    if (mBackend)
        mBackend->close();
}

void SerialComm::setProgramName(const QString &name)
{
    programName() = name;
}

QString SerialComm::deviceFor(int port)
{
    const QString &program = programName();
    if (!program.isEmpty()) {
        const QByteArray var = program.toUpper().toLocal8Bit() + "_COM" + QByteArray::number(port);
        const QByteArray env = qgetenv(var.constData());
        if (!env.isEmpty())
            return QString::fromLocal8Bit(env);
        const QString stored =
            GetSetting(program, QStringLiteral("Ports"), QStringLiteral("COM") + QString::number(port));
        if (!stored.isEmpty())
            return stored;
    }
    return QStringLiteral("/dev/ttyS") + QString::number(port - 1);
}

void SerialComm::requireOpen() const
{
    if (!PortOpen())
        throw LinkError(LinkError::PortNotOpen, QStringLiteral("Operation valid only when the port is open"));
}

void SerialComm::setCommPort(int port)
{
    if (PortOpen())
        throw LinkError(LinkError::PortAlreadyOpen, QStringLiteral("Port already open"));
    if (port < 1 || port > 255)
        throw LinkError(LinkError::InvalidPortNumber, QStringLiteral("Invalid port number"));
    mCommPort = port;
}

void SerialComm::setSettings(const QString &settings)
{
    const int baud = parseSettings(settings);
    if (baud == 0)
        invalidValue();
    mSettings = settings;
    mBaud = baud;
    if (PortOpen())
        mBackend->setBaud(baud);
}

void SerialComm::setHandshaking(int value)
{
    if (value < comNone || value > comRTSXOnXOff)
        invalidValue();
    mHandshaking = value;
}

void SerialComm::setInputMode(int value)
{
    if (value != comInputModeText && value != comInputModeBinary)
        invalidValue();
    mInputMode = value;
}

void SerialComm::setInBufferSize(int value)
{
    if (value < 1)
        invalidValue();
    mInBufferSize = value;
}

void SerialComm::setOutBufferSize(int value)
{
    if (value < 1)
        invalidValue();
    mOutBufferSize = value;
}

void SerialComm::setInputLen(int value)
{
    if (value < 0)
        invalidValue();
    mInputLen = value;
}

void SerialComm::setRThreshold(int value)
{
    if (value < 0)
        invalidValue();
    mRThreshold = value;
}

void SerialComm::setDTREnable(bool on)
{
    mDTREnable = on;
    if (PortOpen())
        mBackend->setDtr(on);
}

void SerialComm::setRTSEnable(bool on)
{
    mRTSEnable = on;
    if (PortOpen())
        mBackend->setRts(on);
}

bool SerialComm::PortOpen() const
{
    return mBackend && mBackend->isOpen();
}

void SerialComm::setPortOpen(bool open)
{
    if (!open) {
        if (mBackend)
            mBackend->close();
        mBackend.reset();
        mIn.clear();
        mStash.clear();
        return;
    }
    if (PortOpen())
        throw LinkError(LinkError::PortAlreadyOpen, QStringLiteral("Port already open"));
    const QString device = deviceFor(mCommPort);
    std::unique_ptr<SerialBackend> backend;
    QString error;
    if (SerialDeviceKind *kind = serialDeviceKindFor(device)) {
        backend = kind->create(this, mCommPort, device);
        if (!backend)
            throw LinkError(LinkError::InvalidPortNumber,
                            QStringLiteral("Invalid port number (%1: no such device)").arg(device));
    } else {
        backend = std::make_unique<DeviceBackend>(this, device);
    }
    if (!backend->open(mBaud, mHandshaking, mDTREnable, mRTSEnable, &error))
        throw LinkError(LinkError::InvalidPortNumber,
                        QStringLiteral("Invalid port number (%1: %2)").arg(device, error));
    mIn.clear();
    mStash.clear();
    mBackend = std::move(backend);
}

bool SerialComm::CTSHolding() const
{
    return PortOpen() && mBackend->cts();
}

void SerialComm::setOutput(const QByteArray &bytes)
{
    requireOpen();
    mBackend->write(bytes);
}

void SerialComm::setOutput(const QString &text)
{
    setOutput(vx::toCp1252(text));
}

QByteArray SerialComm::Input()
{
    if (!PortOpen())
        return {};
    const int n = mInputLen == 0 ? int(mIn.size()) : std::min(mInputLen, int(mIn.size()));
    const QByteArray out = mIn.left(n);
    mIn.remove(0, n);
    return out;
}

QString SerialComm::InputText()
{
    return QString::fromLatin1(Input());
}

QByteArray SerialComm::takeAll()
{
    QByteArray out;
    out.swap(mIn);
    return out;
}

void SerialComm::putBack(const QByteArray &bytes)
{
    mIn.prepend(bytes);
}

int SerialComm::InBufferCount() const
{
    return int(mIn.size());
}

void SerialComm::setInBufferCount(int value)
{
    if (value != 0)
        invalidValue();
    mIn.clear();
    if (PortOpen())
        mBackend->dropInput();
}

int SerialComm::OutBufferCount() const
{
    return PortOpen() ? mBackend->pendingOutput() : 0;
}

void SerialComm::setOutBufferCount(int value)
{
    if (value != 0)
        invalidValue();
    if (PortOpen())
        mBackend->dropOutput();
}

namespace {

constexpr qint64 kYoungWaitMs = 20;
constexpr unsigned long kYoungPauseUs = 250;

// Waits until `ready`, yielding to the event loop between looks, for at most
// `seconds` of program time or until the port closes. The pause between
// looks is short while the wait is young (a chip that took a block or a
// query answers within milliseconds, and the next block waits on it) and a
// millisecond later on, so long waits cost next to no processor time.
template <typename Ready>
bool pollUntil(const SerialComm &comm, double seconds, Ready ready)
{
    const double start = vx::Clock::seconds();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (ready())
            return true;
        if (!comm.PortOpen())
            return false;
        // Judged before the yield, so a program held up past the deadline
        // still sees what happened meanwhile.
        const bool late = vx::Clock::seconds() > start + seconds;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (ready())
            return true;
        if (late)
            return false;
        QThread::usleep(waited.elapsed() < kYoungWaitMs ? kYoungPauseUs : 1000);
    }
}

} // namespace

bool SerialComm::waitForInput(double seconds)
{
    return pollUntil(*this, seconds, [this] { return !mIn.isEmpty(); });
}

bool SerialComm::waitForCts(double seconds)
{
    return pollUntil(*this, seconds, [this] { return CTSHolding(); });
}

// --- Receiving and CommEvent ----------------------------------------------------

void SerialComm::received(const QByteArray &bytes)
{
    mIn.append(bytes);
    if (mHold == 0 && mRThreshold > 0 && mIn.size() >= mRThreshold)
        scheduleCommEvent();
}

void SerialComm::scheduleCommEvent()
{
    if (mEventPending)
        return;
    mEventPending = true;
    QMetaObject::invokeMethod(this, &SerialComm::deliverCommEvent, Qt::QueuedConnection);
}

void SerialComm::deliverCommEvent()
{
    mEventPending = false;
    if (mHold == 0 && mRThreshold > 0 && mIn.size() >= mRThreshold)
        emit CommEvent();
}

void SerialComm::holdEvents()
{
    if (mHold++ == 0) {
        mStash = mIn;
        mIn.clear();
    }
}

void SerialComm::releaseEvents()
{
    if (mHold == 0 || --mHold > 0)
        return;
    mIn.prepend(mStash);
    mStash.clear();
    if (mRThreshold > 0 && mIn.size() >= mRThreshold)
        scheduleCommEvent();
}
