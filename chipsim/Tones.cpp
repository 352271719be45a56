#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>
#include <memory>

namespace chipsim {

using namespace detail;

// --- Tones and real-time sound ------------------------------------------------

void Chip::installToneCommands()
{
    // "j": a tone. Bare, a stream of 4-byte music records follows; with a
    // number, one tone: in emulation the number is the divider and three
    // raw bytes follow (length, then the two frequencies); natively the
    // number is the length in 10 ms and eight digits follow (two
    // frequencies in Hz).
    setCommand('j', [](Chip &c, const Command &cmd) {
        if (!cmd.hasNumber) {
            c.mToneRecord.clear();
            c.takeData([&c](quint8 b) { return c.toneStreamByte(b); });
            return;
        }
        auto args = std::make_shared<QByteArray>();
        const bool byteForm = c.emulation();
        const int number = cmd.number;
        c.takeData([&c, args, byteForm, number](quint8 b) {
            if (!byteForm && (b < '0' || b > '9'))
                return false; // a short digit form: no tone
            args->append(char(b));
            if (args->size() < (byteForm ? 3 : 8))
                return true;
            ToneEvent tone;
            if (byteForm) {
                const int u = 155 - number;
                if (u <= 0)
                    return false;
                const int length = quint8(args->at(0)) == 0 ? 256 : quint8(args->at(0));
                tone.seconds = length * u / 2410.0;
                tone.f1 = quint8(args->at(1)) * 603.0 / u;
                tone.f2 = quint8(args->at(2)) * 603.0 / u;
            } else {
                tone.seconds = number * 0.01;
                tone.f1 = args->left(4).toInt();
                tone.f2 = args->mid(4).toInt();
            }
            c.playTone(tone);
            return false;
        });
    });
    // "#" plain and "%" compressed sound data in real time, at 115200 baud.
    setCommand('#', [](Chip &c, const Command &cmd) { c.startPcm(cmd); });
    setCommand('%', [](Chip &c, const Command &cmd) { c.startPcm(cmd); });
}

bool Chip::toneStreamByte(quint8 b)
{
    mToneRecord.append(char(b));
    if (mToneRecord.size() < 4)
        return true;
    const QByteArray record = mToneRecord;
    mToneRecord.clear();
    if (record[0] == 0) {
        // Settings: volume and tempo. Volume 0 ends the stream (the score's
        // closing record).
        if (quint8(record[1]) == 0)
            return false;
        mToneVolume = quint8(record[1]);
        mToneTempo = quint8(record[2]) | (quint8(record[3]) << 8);
        return true;
    }
    ToneEvent e;
    e.music = true;
    e.ticks = quint8(record[0]);
    e.divisors = {quint8(record[1]), quint8(record[2]), quint8(record[3])};
    e.volume = mToneVolume;
    e.tempo = mToneTempo;
    // A quarter note is 48 ticks; the tempo counts quarter notes a minute.
    e.seconds = e.ticks * 60.0 / (48.0 * std::max(1, e.tempo));
    playTone(e);
    return true;
}

void Chip::playTone(const ToneEvent &tone)
{
    // Tones play in turn; CTS holds the host back while one plays.
    mTones.append(tone);
    mTonesPlayedUntil = std::max(mTonesPlayedUntil, now()) + tone.seconds;
    updateCts();
}

void Chip::startPcm(const Command &cmd)
{
    PcmPlay play;
    play.rateCode = cmd.number & 0x7F;
    play.compressed = cmd.letter == '%';
    mPcmPlays.append(play);
    mPcm = {};
    mPcm.active = true;
    mPcm.baudBefore = mBaud;
    mPcm.playedUntil = now();
    // Compressed data holds two samples a byte.
    mPcm.secondsPerByte = (play.compressed ? 2.0 : 1.0) / rateOfCode(play.rateCode);
    if (mBaud != 0 && mBaud != FastBaud)
        setLineBaud(FastBaud);
    takeData([this](quint8 b) { return pcmByte(b); });
    ensureTicking();
}

bool Chip::pcmByte(quint8 b)
{
    PcmPlay &p = mPcmPlays.last();
    // A marked file starts 00 C0 DB and brings 9 header bytes; anything
    // else is samples from the first byte.
    static const QByteArray Marked("\x00\xC0\xDB", 3);
    if (mPcm.header == 0) {
        p.header.append(char(b));
        if (Marked.startsWith(p.header) && b != 0x80) {
            if (p.header.size() == 3)
                mPcm.header = 1;
            return true;
        }
        p.data = p.header.left(p.header.size() - 1);
        p.header.clear();
        mPcm.playedUntil = std::max(mPcm.playedUntil, now()) + double(p.data.size()) * mPcm.secondsPerByte;
        mPcm.header = 2;
    } else if (mPcm.header == 1) {
        p.header.append(char(b));
        if (p.header.size() == 9)
            mPcm.header = 2;
        return true;
    }
    if (b == 0x80) { // the end mark: what was taken plays out
        p.ended = true;
        mPcm.dataEnded = true;
        mPcm.trailingMarks = 2;
        updateCts();
        return false;
    }
    p.data.append(char(b));
    mPcm.playedUntil = std::max(mPcm.playedUntil, now()) + mPcm.secondsPerByte;
    return true;
}

void Chip::tickPcm(double t)
{
    if (!mPcm.active || !mPcm.dataEnded || t < mPcm.playedUntil)
        return;
    // Played out: CTS rises and the line goes back to its speed; the two
    // end marks the host sends then are still taken at the fast speed.
    mPcm.active = false;
    if (mPcm.baudBefore != 0 && mPcm.baudBefore != FastBaud && mBaud == FastBaud) {
        setLineBaud(mPcm.baudBefore);
        allowAtSpeed(FastBaud, 0x80, 2, true);
    }
}

void Chip::stopPcm()
{
    if (!mPcm.active)
        return;
    mPcm.active = false;
    if (mPcm.baudBefore != 0 && mBaud == FastBaud)
        setLineBaud(mPcm.baudBefore);
}

} // namespace chipsim
