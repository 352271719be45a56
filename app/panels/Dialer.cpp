#include "app/panels/Dialer.h"

#include "app/startup/SendPath.h"
#include "platform/Cp1252.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// clang-format off
constexpr DialerKey kKeys[] = {
    {0, "OPR 0", 941, 1336, nullptr},
    {1, "      1", 697, 1209, nullptr},
    {2, "ABC 2", 697, 1336, nullptr},
    {3, "DEF 3", 697, 1477, nullptr},
    {4, "GHI 4", 770, 1209, nullptr},
    {5, "JKL  5", 770, 1336, nullptr},
    {6, "MNO 6", 770, 1477, nullptr},
    {7, "PRS 7", 852, 1209, nullptr},
    {8, "TUV 8", 852, 1336, nullptr},
    {9, "WXY 9", 852, 1477, nullptr},
    {10, "    *", 941, 1209, nullptr},
    {11, "     #", 941, 1477, nullptr},
    {12, "A", 697, 1633, nullptr},
    {13, "B", 770, 1633, nullptr},
    {14, "C", 852, 1633, nullptr},
    {15, "D", 941, 1633, nullptr},
    {16, "PAU", 0, 0, "Inter-digit pause"},
    {17, "DIAL", 350, 440, "Dial tone"},
    {18, "BUSY", 480, 620, "Busy signal = 500 ms ON + 500 ms OFF"},
    {19, "RING", 440, 480, "Ringback signal = 2000 ms ON + 4000 ms OFF"},
};
// clang-format on

// Byte-form constants: the divider counts down from 155, 603 Hz per byte
// step at divider 154, 2410 duration steps per second.
constexpr double kBase = 155;
constexpr double kHzStep = 603;
constexpr double kDurSteps = 2410;

int roundInt(double v)
{
    return roundHalfEvenInt(v);
}

QString fourDigits(int v)
{
    return QStringLiteral("%1").arg(v, 4, 10, QLatin1Char('0'));
}

} // namespace

std::span<const DialerKey> DialerKeys()
{
    return kKeys;
}

const DialerKey *FindDialerKey(int index)
{
    for (const DialerKey &k : kKeys) {
        if (k.index == index)
            return &k;
    }
    return nullptr;
}

bool DialerKeyPlays(int index, bool busy)
{
    return index != kPauseKey && !busy;
}

QString ValidateToneBox(ToneBox box, const QString &text, bool emulation)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v == 0) {
        if (box == ToneBox::Frequency)
            return QStringLiteral("0");
    }
    const qint64 value = ok ? v : 0;
    if (box == ToneBox::Frequency)
        return QString::number(std::min<qint64>(value, emulation ? 2746 : 4400));
    const qint64 lo = emulation ? 23 : 10;
    const qint64 hi = emulation ? 16465 : 599999;
    return QString::number(std::clamp(value, lo, hi));
}

std::optional<int> ComputeToneParameters(int f1, int f2, int durMs, bool emulation, ToneParameters &p)
{
    if (!emulation) {
        p.f1Text = fourDigits(f1);
        p.f2Text = fourDigits(f2);
        const int units = roundInt(durMs / 10.0);
        p.durText = QString::number(units >= 60000 ? 59999 : units);
        return std::nullopt;
    }
    if (durMs == 0)
        return std::nullopt;
    const int fmax = std::max(f1, f2);
    p.minDivider = fmax == 0 ? 0 : std::max(0, roundInt(kBase - kHzStep * 255 / fmax));
    p.durDivider = std::min(99, static_cast<int>(std::floor(kBase - durMs / 1000.0 * kDurSteps / 256)));
    std::optional<int> lowered;
    if (p.durDivider < p.minDivider) {
        lowered = roundInt((kBase - p.minDivider) * 256 / kDurSteps * 1000);
        p.durDivider = p.minDivider;
        durMs = *lowered; // the duration byte is taken from what the box now shows
    }
    p.divider = roundInt((2.0 * p.durDivider + p.minDivider) / 3);
    const double steps = kBase - p.divider;
    p.f1Byte = std::min(255, roundInt(steps * f1 / kHzStep));
    p.f2Byte = std::min(255, roundInt(steps * f2 / kHzStep));
    // The chip reads one byte; 256 would go out as 0.
    p.durByte = std::clamp(roundInt(durMs / 1000.0 * kDurSteps / steps), 1, 255);
    return lowered;
}

QString ToneCommandText(const ToneParameters &p, bool emulation)
{
    const QString cmd = QStringLiteral("\\01");
    if (!emulation)
        return cmd + p.durText + QLatin1Char('j') + p.f1Text + p.f2Text;
    const QString bs = QStringLiteral("\\");
    return cmd + QString::number(p.divider) + QLatin1Char('j') + bs + HexByte(p.durByte & 255) + bs +
           HexByte(p.f1Byte) + bs + HexByte(p.f2Byte);
}

QString ToneCommandLive(const ToneParameters &p, bool emulation, const QString &cmdChar)
{
    QString s = QChar(24) + cmdChar;
    if (emulation) {
        s += QString::number(p.divider) + QLatin1Char('j');
        // Raw bytes, as the characters the send path turns back into them.
        for (const int b : {p.durByte & 255, p.f1Byte, p.f2Byte})
            s += fromCp1252Char(static_cast<unsigned char>(b));
    } else {
        s += p.durText + QLatin1Char('j') + p.f1Text + p.f2Text;
    }
    return s + QChar(0);
}

QString AppendToneCommand(const QString &box, const QString &command)
{
    QString s = box + QLatin1Char(' ') + command;
    qsizetype a = 0;
    qsizetype b = s.size();
    while (a < b && s.at(a) == QLatin1Char(' '))
        ++a;
    while (b > a && s.at(b - 1) == QLatin1Char(' '))
        --b;
    return s.mid(a, b - a);
}

} // namespace vx
