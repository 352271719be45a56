#pragma once

// The serial object that the link library hands out (the program's `Comm`):
// the usual port-control properties, driven by name, and the CommEvent
// raised when received bytes wait.
//
// Port number N opens the device named by the environment variable
// <PROGRAM>_COM<N> when set, else by the key "COM<N>" of the program's
// settings section "Ports", else /dev/ttyS<N-1>. A value naming a registered
// kind of device ("sim", "sim:SV3410" once the chip emulator is registered)
// attaches that instead (link/SerialBackend.h). A device without modem lines
// (a pseudo-terminal) reads as CTS always on.

#include "link/LinkError.h"
#include "link/SerialBackend.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QEventLoop;

class SerialComm : public QObject
{
    Q_OBJECT

public:
    enum InputModes { comInputModeText = 0, comInputModeBinary = 1 };
    enum Handshakes { comNone = 0, comXOnXoff = 1, comRTS = 2, comRTSXOnXOff = 3 };

    explicit SerialComm(QObject *parent = nullptr);
    ~SerialComm() override;

    // --- Properties. Setters throw LinkError on an invalid value or on a
    // change that needs an open (or closed) port.
    [[nodiscard]] int CommPort() const { return mCommPort; }
    void setCommPort(int port); // throws PortAlreadyOpen while open, InvalidPortNumber below 1

    // "<speed>,<parity>,<data bits>,<stop bits>", e.g. "9600,N,8,1". Takes
    // effect at once on an open port.
    [[nodiscard]] QString Settings() const { return mSettings; }
    void setSettings(const QString &settings); // throws InvalidPropertyValue when malformed

    [[nodiscard]] int Handshaking() const { return mHandshaking; }
    void setHandshaking(int value);

    [[nodiscard]] int InputMode() const { return mInputMode; }
    void setInputMode(int value);

    [[nodiscard]] int InBufferSize() const { return mInBufferSize; }
    void setInBufferSize(int value);
    [[nodiscard]] int OutBufferSize() const { return mOutBufferSize; }
    void setOutBufferSize(int value);

    // Bytes one read of Input takes; 0 takes all that wait.
    [[nodiscard]] int InputLen() const { return mInputLen; }
    void setInputLen(int value);

    // CommEvent is raised when at least this many bytes wait; 0 = never.
    [[nodiscard]] int RThreshold() const { return mRThreshold; }
    void setRThreshold(int value);

    [[nodiscard]] bool DTREnable() const { return mDTREnable; }
    void setDTREnable(bool on);
    [[nodiscard]] bool RTSEnable() const { return mRTSEnable; }
    void setRTSEnable(bool on);

    [[nodiscard]] bool PortOpen() const;
    // Opening throws InvalidPortNumber when the device cannot be opened,
    // PortAlreadyOpen when it is open already. Closing a closed port does
    // nothing.
    void setPortOpen(bool open);

    // The chip's CTS line; false while the port is closed.
    [[nodiscard]] bool CTSHolding() const;

    // Writes bytes (a string goes out as Windows-1252, one byte per
    // character). Throws PortNotOpen when closed.
    void setOutput(const QByteArray &bytes);
    void setOutput(const QString &text);

    // Takes up to InputLen waiting bytes (all when InputLen is 0). Returns an
    // empty array when nothing waits or the port is closed.
    [[nodiscard]] QByteArray Input();
    // The same bytes as text, one character per byte of the same code
    // (Latin-1), so comparisons with byte values hold.
    [[nodiscard]] QString InputText();

    // Bytes waiting to be read; setting 0 discards them.
    [[nodiscard]] int InBufferCount() const;
    void setInBufferCount(int value);
    // Bytes not yet sent; setting 0 drops them.
    [[nodiscard]] int OutBufferCount() const;
    void setOutBufferCount(int value);

    // --- Ours.
    // The current speed of the open line in bits per second (from Settings).
    [[nodiscard]] int baudRate() const { return mBaud; }
    // The program whose environment variables and settings name the ports
    // ("Voxmere" reads VOXMERE_COM<N> and Voxmere's "Ports"); each program
    // sets it at start. Unset, every port is /dev/ttyS<N-1>.
    static void setProgramName(const QString &name);
    // What port number N maps to (device path, or a device kind's value).
    [[nodiscard]] static QString deviceFor(int port);
    // What stands behind the open port; nullptr while closed.
    [[nodiscard]] SerialBackend *backend() const { return mBackend.get(); }

    // While held (a counter), CommEvent is not raised and the bytes that
    // waited when the hold began are set aside; releasing the last hold puts
    // them back in front of what is left and raises CommEvent when they reach
    // RThreshold. The link library holds events while a member runs so the
    // chip's replies to it never reach the program's receive handler.
    void holdEvents();
    void releaseEvents();
    [[nodiscard]] bool eventsHeld() const { return mHold > 0; }

    // Waits for at least one byte, or until the program-time timeout passed
    // or the port closed, running the event loop meanwhile. Between looks
    // it sleeps until bytes arrive, the backend reports a change of the line
    // or a few milliseconds passed. Returns whether bytes wait.
    bool waitForInput(double seconds);
    // Waits for CTS the same way. Returns whether CTS is on.
    bool waitForCts(double seconds);
    // How many times those waits have woken from a sleep since this object
    // was made. A wait that spins shows here as thousands a second, whatever
    // the load: tests and benchmarks count it per block sent.
    [[nodiscard]] quint64 wakeUps() const { return mWakeUps; }
    // Takes every waiting byte, whatever InputLen says.
    [[nodiscard]] QByteArray takeAll();
    // Whether received bytes were dropped since the last call: beyond
    // InBufferSize the oldest waiting bytes give way to new ones, as a
    // serial control's overrun does. Clears the mark. The bound holds for
    // what waits for the program; while events are held the link library
    // reads every byte itself.
    [[nodiscard]] bool takeOverrun();
    // Puts bytes back in front of the waiting input (bytes a reader took
    // but that are not its own).
    void putBack(const QByteArray &bytes);

signals:
    // Bytes were received and at least RThreshold bytes wait (the handler
    // learns of an overrun from takeOverrun). Raised from the event loop,
    // never from inside a write.
    void CommEvent();

private:
    friend class SerialBackend;
    void received(const QByteArray &bytes);
    void keepWithinBuffer();
    bool waitUntil(double seconds, const std::function<bool()> &ready);
    void sleepUntilWoken(int milliseconds);
    void wakeWaits();
    void scheduleCommEvent();
    void deliverCommEvent();
    void requireOpen() const;

    std::unique_ptr<SerialBackend> mBackend;
    int mCommPort = 1;
    QString mSettings = QStringLiteral("9600,N,8,1");
    int mBaud = 9600;
    int mHandshaking = comNone;
    int mInputMode = comInputModeText;
    int mInBufferSize = 1024;
    int mOutBufferSize = 512;
    int mInputLen = 0;
    int mRThreshold = 0;
    bool mDTREnable = false;
    bool mRTSEnable = false;
    mutable QByteArray mIn;
    QByteArray mStash;
    int mHold = 0;
    bool mEventPending = false;
    bool mOverrun = false;
    quint64 mWakeUps = 0;
    std::vector<QEventLoop *> mWaits; // the waits sleeping now, innermost last
};

// Keeps CommEvent held for the lifetime of the guard.
class CommEventHold
{
public:
    explicit CommEventHold(SerialComm *comm) : mComm(comm) { if (mComm) mComm->holdEvents(); }
    ~CommEventHold() { if (mComm) mComm->releaseEvents(); }
    CommEventHold(const CommEventHold &) = delete;
    CommEventHold &operator=(const CommEventHold &) = delete;

private:
    SerialComm *mComm;
};
