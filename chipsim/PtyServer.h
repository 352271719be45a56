#pragma once

// Serves a Chip on a pseudo-terminal: the host opens slavePath() like any
// serial device. The speed of each byte is read from the terminal settings
// the host set; the host's DTR cannot be seen on a pseudo-terminal, so the
// chip takes it as on.

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace chipsim {

class Chip;

class PtyServer : public QObject
{
    Q_OBJECT

public:
    explicit PtyServer(Chip *chip, QObject *parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal; false with errorString() when it failed.
    bool start();
    [[nodiscard]] QString slavePath() const { return mSlavePath; }
    [[nodiscard]] QString errorString() const { return mError; }

private:
    void readHost();
    void writeHost(const QByteArray &bytes, int baud);
    [[nodiscard]] int hostBaud() const;

    Chip *mChip;
    int mMaster = -1;
    int mSlaveKeep = -1; // keeps the slave side alive between host opens
    QSocketNotifier *mNotifier = nullptr;
    QString mSlavePath;
    QString mError;
};

} // namespace chipsim
