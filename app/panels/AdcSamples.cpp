#include "app/panels/AdcSamples.h"

#include <algorithm>

namespace vx {

namespace {

constexpr AdcChannel kChannels[] = {
    {"AN0", 0}, {"AN1", 1}, {"AN2", 2}, {"AN3", 3}, {"AN0-AN1", 9}, {"AN0-AN3", 11},
};

constexpr int kSwp = 8;
constexpr int kCont = 16;
constexpr int kTrg = 32;

} // namespace

std::span<const AdcChannel> AdcChannels()
{
    return kChannels;
}

int AdcSettingsValue(int itemData, bool cont, bool trg, bool amp)
{
    return (itemData & 3) | (itemData & kSwp) | (cont ? kCont : 0) | (trg ? kTrg : 0) | (amp ? 64 : 0);
}

AdcLayout AdcChannelLayout(int settings)
{
    AdcLayout l;
    l.firstChannel = settings & 3;
    l.sweep = (settings & kSwp) != 0;
    l.channels = l.sweep ? l.firstChannel + 1 : 1;
    return l;
}

QString AdcCommandToolTip(const QString &chipModel, int settings)
{
    return chipModel + QStringLiteral(" command for these settings: ") + QString::number(settings) +
           QLatin1Char('$');
}

QString AdcStartLive(const QString &cmdChar, int settings)
{
    return QChar(24) + cmdChar + QString::number(settings) + QLatin1Char('$') + QChar(0);
}

QString AdcStopLive(const QString &cmdChar)
{
    return cmdChar + QStringLiteral("-16$") + QChar(0);
}

bool AdcShouldFlush(int waiting, int inBufferSize)
{
    return waiting > inBufferSize / 10;
}

bool AdcSingleConversion(int settings)
{
    return (settings & (kCont | kTrg)) == 0;
}

bool CompressAllowed(bool continuous)
{
    return continuous;
}

std::vector<AdcBar> DecodeAdcFrame(int settings, const QByteArray &frame)
{
    const AdcLayout l = AdcChannelLayout(settings);
    std::vector<AdcBar> bars;
    if (!l.sweep) {
        if (!frame.isEmpty())
            bars.push_back({l.firstChannel, static_cast<unsigned char>(frame.at(0))});
        return bars;
    }
    const int n = std::min<int>(l.channels, static_cast<int>(frame.size()));
    for (int i = 0; i < n; ++i)
        bars.push_back({i, static_cast<unsigned char>(frame.at(i))});
    return bars;
}

} // namespace vx
