#include "platform/StopSignals.h"

#include "common/Clock.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

int gPipe[2] = {-1, -1};
std::atomic<int> gUnread{0}; // signals written to the pipe that the event loop has not taken yet
std::atomic<int> gHolds{0};  // live StopSignals::Hold objects
struct sigaction gPrevious[kSignals.size()];

extern "C" void onStopSignal(int signalNumber)
{
    // Only async-signal-safe calls here. A signal while the event loop has
    // not even taken the last one: the program does not answer, unless it
    // holds the stops for work that must run to its end.
    if (gUnread.fetch_add(1) > 0 && gHolds.load() == 0)
        ::_exit(128 + signalNumber);
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (::write(gPipe[1], &byte, 1) != 1)
        gUnread.fetch_sub(1); // nothing for the event loop to take
    errno = savedErrno;
}

} // namespace

StopSignals::Hold::Hold()
{
    gHolds.fetch_add(1);
}

StopSignals::Hold::~Hold()
{
    gHolds.fetch_sub(1);
}

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    gUnread = 0;
    mNotifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &StopSignals::readPipe);
    struct sigaction sa = {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], nullptr, &gPrevious[i]);
        // A hang-up or an interrupt ignored from the start stays ignored, as
        // under nohup or in a background job; a TERM always ends the program.
        if (kSignals[i] != SIGTERM && gPrevious[i].sa_handler == SIG_IGN)
            continue;
        ::sigaction(kSignals[i], &sa, nullptr);
    }
    mInstalled = true;
}

StopSignals::~StopSignals()
{
    if (!mInstalled)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    delete mNotifier;
    mNotifier = nullptr;
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void StopSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1) {
        gUnread.fetch_sub(1);
        take(byte);
    }
}

void StopSignals::take(int signalNumber)
{
    const double now = Clock::seconds();
    if (mPending && now - mLastSignal < kRepeatWindow && gHolds.load() == 0)
        std::_Exit(128 + signalNumber);
    mLastSignal = now;
    if (mPending)
        return; // the exit runs already, asking its questions
    mPending = true;
    emit stopRequested(signalNumber);
}

} // namespace vx
