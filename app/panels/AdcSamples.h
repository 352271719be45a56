#pragma once

// The A/D converter monitor: its settings value, the start and stop
// commands, and which bar each received sample goes to.

#include <QByteArray>
#include <QString>

#include <span>
#include <vector>

namespace vx {

struct AdcChannel
{
    const char *name;
    int itemData; // CH in bits 0-1, SWP in bit 3
};

[[nodiscard]] std::span<const AdcChannel> AdcChannels();

// CH and SWP from the channel's item data, CONT 16, TRG 32, AMP 64.
[[nodiscard]] int AdcSettingsValue(int itemData, bool cont, bool trg, bool amp);

// Bytes per conversion and the first channel: a sweep reads channels 0 to
// CH, a single channel reads CH alone.
struct AdcLayout
{
    int channels = 1;
    int firstChannel = 0;
    bool sweep = false;
};
[[nodiscard]] AdcLayout AdcChannelLayout(int settings);

[[nodiscard]] QString AdcCommandToolTip(const QString &chipModel, int settings);
[[nodiscard]] QString AdcStartLive(const QString &cmdChar, int settings); // CAN, command, NUL
[[nodiscard]] QString AdcStopLive(const QString &cmdChar);

// More than a tenth of the input buffer waiting: the samples are stale.
[[nodiscard]] bool AdcShouldFlush(int waiting, int inBufferSize);
// Neither continuous nor triggered: one conversion, then the monitor stops.
[[nodiscard]] bool AdcSingleConversion(int settings);
// The recorder compresses only what the converter samples continuously.
[[nodiscard]] bool CompressAllowed(bool continuous);

struct AdcBar
{
    int bar;
    int value; // 0 to 255
};
// The bars one conversion fills; a short frame fills what it holds.
[[nodiscard]] std::vector<AdcBar> DecodeAdcFrame(int settings, const QByteArray &frame);

} // namespace vx
