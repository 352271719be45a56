#include "chipsim/PtyServer.h"

#include "chipsim/Chip.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace chipsim {

namespace {

int speedOf(speed_t s)
{
    switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 9600;
    }
}

} // namespace

PtyServer::PtyServer(Chip *chip, QObject *parent) : QObject(parent), mChip(chip)
{
}

PtyServer::~PtyServer()
{
    delete mNotifier;
    if (mSlaveKeep >= 0)
        ::close(mSlaveKeep);
    if (mMaster >= 0)
        ::close(mMaster);
}

bool PtyServer::start()
{
    mMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (mMaster < 0 || ::grantpt(mMaster) != 0 || ::unlockpt(mMaster) != 0) {
        mError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const char *name = ::ptsname(mMaster);
    if (!name) {
        mError = QStringLiteral("no pseudo-terminal name");
        return false;
    }
    mSlavePath = QString::fromLocal8Bit(name);
    // Holding the slave open keeps the master readable (no hang-up) while no
    // host has the device open.
    mSlaveKeep = ::open(name, O_RDWR | O_NOCTTY);
    termios t{};
    if (mSlaveKeep >= 0 && ::tcgetattr(mSlaveKeep, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(mSlaveKeep, TCSANOW, &t);
    }
    ::fcntl(mMaster, F_SETFL, ::fcntl(mMaster, F_GETFL) | O_NONBLOCK);
    mNotifier = new QSocketNotifier(mMaster, QSocketNotifier::Read);
    connect(mNotifier, &QSocketNotifier::activated, this, &PtyServer::readHost);
    connect(mChip, &Chip::transmit, this, &PtyServer::writeHost);
    // No modem lines on a pseudo-terminal: the host's DTR is taken as on.
    mChip->setDtr(true);
    return true;
}

int PtyServer::hostBaud() const
{
    // The master sees the terminal settings the host made on its side.
    termios t{};
    if (::tcgetattr(mSlaveKeep >= 0 ? mSlaveKeep : mMaster, &t) != 0)
        return 9600;
    return speedOf(::cfgetospeed(&t));
}

void PtyServer::readHost()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(mMaster, buffer, sizeof buffer);
        if (n <= 0)
            break;
        mChip->receive(QByteArray(buffer, int(n)), hostBaud());
    }
}

void PtyServer::writeHost(const QByteArray &bytes, int baud)
{
    // Bytes sent at another speed than the host listens at arrive as noise:
    // the host hears nothing it can use.
    if (baud != hostBaud())
        return;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(mMaster, bytes.constData() + at, size_t(bytes.size() - at));
        if (n <= 0) {
            if (errno == EAGAIN) {
                ::usleep(1000);
                continue;
            }
            return;
        }
        at += n;
    }
}

} // namespace chipsim

