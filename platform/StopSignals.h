#pragma once

#include <QObject>

class QSocketNotifier;

namespace vx {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a closed terminal, Ctrl+C)
// into a Qt signal on the event loop, so the program can end the way its
// File > Exit does. The handler only writes to a pipe. A SIGINT or SIGHUP
// that the program inherited as ignored stays ignored.
//
// The first signal starts an exit. A further signal within a few seconds
// (program time) of the last one, while that exit is still pending, ends the
// process at once, and so does any signal while an earlier one still waits
// for the event loop (a program that does not answer). A later one only
// renews that time. Once the program reports the exit refused or cancelled,
// the next signal starts a new exit. One instance per process.
//
// While a StopSignals::Hold lives, no signal ends the process at once: the
// work it guards runs to its end and a repeated signal waits like the first.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    // Program seconds within which a repeated signal ends the process at once.
    static constexpr double kRepeatWindow = 3.0;

    // Held by work that must not be cut short, for instance a firmware write
    // that would leave the board unable to start. Nestable.
    class Hold
    {
    public:
        Hold();
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
    };

    explicit StopSignals(QObject *parent = nullptr);
    // Puts the previous handlers back.
    ~StopSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    [[nodiscard]] bool installed() const { return mInstalled; }

    // The exit was refused or cancelled and the program goes on: the next
    // signal starts over.
    void exitCancelled() { mPending = false; }

signals:
    // From the event loop, once for each exit a signal starts; signalNumber
    // is the one caught.
    void stopRequested(int signalNumber);

private:
    void readPipe();
    void take(int signalNumber);

    QSocketNotifier *mNotifier = nullptr;
    bool mInstalled = false;
    bool mPending = false;
    double mLastSignal = 0.0;
};

} // namespace vx
