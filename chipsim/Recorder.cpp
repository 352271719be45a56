#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>
#include <memory>

namespace chipsim {

using namespace detail;

namespace {

// A/D settings bits.
constexpr int AdcChannel = 3, AdcSweep = 8, AdcContinuous = 16, AdcTrigger = 32;
constexpr int ArmForRecorder = 128;

// Recording status bytes.
constexpr char RecDone = 0, RecCorrupt = 5, RecWriteError = 7, RecFull = 8, RecBadLibrary = 12,
               RecDuplicateTag = 13, RecStopped = 14, RecKilobyte = 15;

quint8 defaultSource(int channel, qint64 n)
{
    return quint8((64 * channel + 5 * n) & 0xFF);
}

} // namespace

// --- The A/D converter and recording into recording memory --------------------

void Chip::installRecorderCommands()
{
    setCommand('$', [](Chip &c, const Command &cmd) { c.adcCommand(cmd); });
    // n "l" and five digits: record at rate code n (bit 7: compressed) under
    // the tag the digits give.
    setCommand('l', [](Chip &c, const Command &cmd) {
        auto digits = std::make_shared<QByteArray>();
        const int code = cmd.number & 0xFF;
        c.takeData([&c, digits, code](quint8 b) {
            if (b >= '0' && b <= '9')
                digits->append(char(b));
            if (digits->size() < 5 && b >= '0' && b <= '9')
                return true;
            c.startRecording(code, *digits);
            return false;
        });
    });
}

void Chip::setAdcSource(AdcSource source)
{
    mAdcSource = std::move(source);
}

void Chip::triggerAdc()
{
    mAdc.triggered = true;
    mAdc.next = now();
    ensureTicking();
}

void Chip::adcCommand(const Command &cmd)
{
    // A sign sets or clears bits ("-16$" ends continuous conversion); a
    // value of 128 or more arms the converter for the recorder, which then
    // sends the host nothing.
    const int bits = std::abs(cmd.number) & 0x7F;
    if (cmd.sign == '-') {
        mAdc.settings &= ~bits;
        if (!(mAdc.settings & AdcContinuous))
            mAdc.running = false;
        return;
    }
    if (cmd.sign == '+') {
        mAdc.settings |= bits;
        return;
    }
    mAdc.settings = cmd.number & 0x7F;
    mAdc.armed = cmd.number & ArmForRecorder;
    mAdc.running = !mAdc.armed;
    mAdc.triggered = false;
    mAdc.next = now();
    ensureTicking();
}

void Chip::tickAdc(double t)
{
    if (!mAdc.running || ((mAdc.settings & AdcTrigger) && !mAdc.triggered))
        return;
    if (t - mAdc.next > 0.5)
        mAdc.next = t; // no burst after a stall
    const double step = 1.0 / std::max(1.0, mConfig.adcFramesPerSecond);
    const int last = mAdc.settings & AdcChannel;
    const bool sweep = mAdc.settings & AdcSweep;
    const AdcSource source = mAdcSource ? mAdcSource : AdcSource(defaultSource);
    while (mAdc.running && t >= mAdc.next) {
        QByteArray frame;
        for (int ch = sweep ? 0 : last; ch <= last; ++ch)
            frame.append(char(source(ch, mAdc.samples)));
        ++mAdc.samples;
        ++mAdc.frames;
        send(frame);
        mAdc.next += step;
        if (!(mAdc.settings & AdcContinuous)) {
            // A single conversion, or one per trigger.
            if (mAdc.settings & AdcTrigger)
                mAdc.triggered = false;
            else
                mAdc.running = false;
            break;
        }
    }
}

void Chip::startRecording(int code, const QByteArray &tagDigits)
{
    const quint16 tag = quint16(std::min(tagDigits.toInt(), 65535));
    const auto status = [this](char b) { send(QByteArray(1, b)); };
    if (mConfig.recMemBytes < 0)
        return status(RecStopped);
    if (mRecCorrupt)
        return status(RecCorrupt);
    if (mRecIncompatible) {
        status(RecBadLibrary);
        return status(RecStopped);
    }
    if (tag != 0 && (setting('g') & PorTag) && findRecFile(tag, true) >= 0)
        return status(RecDuplicateTag);
    mRec = {};
    mRec.active = true;
    mRec.code = code;
    mRec.tag = tag;
    mRec.start = mRec.nextScript = now();
    ensureTicking();
}

void Chip::tickRecording(double t)
{
    if (!mRec.active)
        return;
    const bool scripted = !mFaults.recordScript.isEmpty();
    // The samples recorded so far: signed bytes of the A/D channel, two
    // samples a byte when compressed.
    const double rate = rateOfCode(mRec.code & 0x7F) / ((mRec.code & 0x80) ? 2.0 : 1.0);
    const qint64 due = qint64((t - mRec.start) * rate);
    const AdcSource source = mAdcSource ? mAdcSource : AdcSource(defaultSource);
    const int channel = mAdc.settings & AdcChannel;
    while (mRec.data.size() < due) {
        const int v = std::clamp(int(source(channel, mAdc.samples++)) - 128, -126, 126);
        mRec.data.append(char(qint8(v)));
    }
    if (scripted) {
        while (mRec.scriptAt < mFaults.recordScript.size() && t >= mRec.nextScript) {
            const QByteArray bytes = mFaults.recordScript[mRec.scriptAt++];
            send(bytes);
            mRec.nextScript += 0.05;
            if (bytes.contains(RecDone))
                return finishRecording(false);
            for (char b : {RecCorrupt, RecFull, RecDuplicateTag, RecStopped})
                if (bytes.contains(b)) {
                    mRec.active = false;
                    return;
                }
        }
        return;
    }
    // A file is its data with a 16-byte header and at most two bytes more.
    if (qint64(mRec.data.size()) + 18 > qint64(recMemFree())) {
        mRec.active = false;
        send(QByteArray(1, RecFull));
        return;
    }
    for (; mRec.kilobytes < mRec.data.size() / 1024; ++mRec.kilobytes)
        send(QByteArray(1, RecKilobyte));
    if (mConfig.recordSeconds > 0 && t - mRec.start >= mConfig.recordSeconds) {
        send(QByteArray(1, RecDone));
        finishRecording(false);
    }
}

void Chip::finishRecording(bool)
{
    if (!mRec.active)
        return;
    mRec.active = false;
    if (mFaults.recordWriteError) {
        send(QByteArray(1, RecWriteError) + mFaults.afterWriteError);
        return;
    }
    if (!mRec.data.isEmpty())
        addRecFile(mRec.tag, makeMarkedPcm(mRec.code, mRec.tag, mRec.data));
}

QByteArray makeMarkedPcm(int code, quint16 tag, const QByteArray &data)
{
    QByteArray body = data;
    if (body.size() % 2 == 0)
        body.append('\0');
    body.append(char(0x80));
    QByteArray f("\r\r\x1e\x01", 4);
    f += QByteArray::number((code & 0x7F) % 100).rightJustified(2, '0');
    f += (code & 0x80) ? '%' : '#';
    f += '\0';
    f += char(0xC0);
    f += char(0xDB);
    f += char(body.size() & 0xFF);
    f += char((body.size() >> 8) & 0xFF);
    f += char((body.size() >> 16) & 0xFF);
    f += char(code);
    f += char(tag & 0xFF);
    f += char(tag >> 8);
    return f + body;
}

} // namespace chipsim
