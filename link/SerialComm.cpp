#include "link/SerialComm.h"

#include "common/Clock.h"
#include "platform/Cp1252.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <map>
#include <utility>
#include <sys/ioctl.h>
#include <termios.h>

// --- Backends ----------------------------------------------------------------

void SerialBackend::deliver(const QByteArray &bytes)
{
    mOwner->received(bytes);
}

void SerialBackend::lineChanged()
{
    mOwner->wakeWaits();
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
        QObject::connect(&mPort, &QSerialPort::bytesWritten, [this] { lineChanged(); });
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
    keepWithinBuffer();
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
        mOverrun = false;
        wakeWaits(); // a wait on the line ends with the port
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
    mOverrun = false;
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

bool SerialComm::takeOverrun()
{
    return std::exchange(mOverrun, false);
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

// A wait looks at the line again at least this often, for backends that do
// not report a change of CTS.
constexpr int kLookMs = 5;

} // namespace

// Looks until `ready`, for at most `seconds` of program time or until the
// port closes. In between the event loop runs, blocked until something may
// have changed: so a long wait costs next to no processor time, and a chip
// that took a block or answered a query is heard at once.
bool SerialComm::waitUntil(double seconds, const std::function<bool()> &ready)
{
    const double end = vx::Clock::seconds() + seconds;
    for (;;) {
        if (ready())
            return true;
        if (!PortOpen())
            return false;
        // Judged before the sleep, so a program held up past the deadline
        // still sees what happened meanwhile.
        const double left = end - vx::Clock::seconds();
        const bool late = left < 0;
        sleepUntilWoken(late ? 0 : int(std::clamp(left / vx::Clock::speed() * 1000.0, 1.0, double(kLookMs))));
        if (ready())
            return true;
        if (late)
            return false;
    }
}

void SerialComm::sleepUntilWoken(int milliseconds)
{
    ++mWakeUps;
    if (!QCoreApplication::instance()) {
        // No event loop to run: nothing can arrive but through a write.
        QThread::msleep(static_cast<unsigned long>(std::max(milliseconds, 0)));
        return;
    }
    if (milliseconds <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    mWaits.push_back(&loop);
    loop.exec();
    mWaits.erase(std::find(mWaits.begin(), mWaits.end(), &loop));
}

void SerialComm::wakeWaits()
{
    for (QEventLoop *loop : mWaits)
        loop->quit();
}

bool SerialComm::waitForInput(double seconds)
{
    return waitUntil(seconds, [this] { return !mIn.isEmpty(); });
}

bool SerialComm::waitForCts(double seconds)
{
    return waitUntil(seconds, [this] { return CTSHolding(); });
}

// --- Receiving and CommEvent ----------------------------------------------------

void SerialComm::received(const QByteArray &bytes)
{
    mIn.append(bytes);
    keepWithinBuffer();
    wakeWaits();
    if (mHold == 0 && mRThreshold > 0 && mIn.size() >= mRThreshold)
        scheduleCommEvent();
}

void SerialComm::keepWithinBuffer()
{
    if (mHold > 0 || mIn.size() <= mInBufferSize)
        return;
    mIn.remove(0, mIn.size() - mInBufferSize);
    mOverrun = true;
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
    keepWithinBuffer();
    if (mRThreshold > 0 && mIn.size() >= mRThreshold)
        scheduleCommEvent();
}
