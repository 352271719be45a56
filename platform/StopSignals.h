#pragma once

#include <QObject>

class QSocketNotifier;

namespace vx {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a closed terminal, Ctrl+C)
// into a Qt signal on the event loop, so the program can close the way its
// window's close does. The handler only writes to a pipe; a second signal
// while the first is pending or after it was delivered ends the process at
// once, for a program that cannot close. One instance per process.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    // Puts the previous handlers back.
    ~StopSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    [[nodiscard]] bool installed() const { return mInstalled; }

signals:
    // From the event loop, once for the first signal; signalNumber is the one caught.
    void stopRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *mNotifier = nullptr;
    bool mInstalled = false;
};

} // namespace vx
