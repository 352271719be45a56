#include "app/panels/PanelCommands.h"

#include "app/startup/MainWindowRules.h"
#include "platform/Numbers.h"

#include <algorithm>

namespace vx {

namespace {

// clang-format off
constexpr ParameterSlider kSliders[] = {
    {"Volume", "v", 9, 9, 5, 5, 1, 1, 1, 1},
    {"Speed", "s", 9, 13, 5, 5, 1, 1, 1, 2},
    {"Pitch", "p", 99, 99, 10, 10, 10, 10, 2, 2},
    {"Tone", "x", 2, 2, 1, 1, 1, 1, 1, 1},
    {"Articulation", "a", 9, 9, 5, 5, 1, 1, 1, 1},
    {"Formant Freq", "f", 9, 99, 5, 10, 1, 10, 1, 2},
    {"Expression", "e", 9, 9, 5, 5, 1, 1, 1, 1},
    {"Reverb", "r", 9, 9, 5, 5, 1, 1, 1, 1},
    {"Delay", "t", 15, 15, 3, 3, 3, 3, 2, 2},
};
// clang-format on

constexpr const char *kVoices[] = {"Perfect Paul", "Vader", "Big Bob", "Precise Pete", "Ricochet Randy", "Biff",
                                   "Skip", "Robo Robert", "Goliath", "Alvin", "Gretchen"};
constexpr int kModeItemData[] = {116, 100, 99};

const QChar kNul(0);

} // namespace

std::span<const ParameterSlider> ParameterSliders()
{
    return kSliders;
}

QStringList VoiceNames(bool native)
{
    QStringList names;
    for (int i = 0; i < (native ? 11 : 8); ++i)
        names << QString::fromLatin1(kVoices[i]);
    return names;
}

QStringList ModeNames()
{
    return {QStringLiteral("Text"), QStringLiteral("Phonetic"), QStringLiteral("Character")};
}

int ModeItemData(int modeIndex)
{
    return modeIndex >= 0 && modeIndex < 3 ? kModeItemData[modeIndex] : 0;
}

QString CommandToolTip(const QString &chipModel, const QString &command)
{
    return chipModel + QStringLiteral(" command: ") + command;
}

QString LiveCommand(const QString &cmdChar, const QString &text, bool nul)
{
    return nul ? cmdChar + text + kNul : cmdChar + text;
}

QString VoiceCommand(int voiceIndex)
{
    return QString::number(voiceIndex) + QLatin1Char('o');
}

QString ModeLetter(int modeIndex)
{
    const int code = ModeItemData(modeIndex);
    return code ? QString(QChar(code)) : QString();
}

QStringList ModeSends(const QString &cmdChar, int modeIndex, bool useDict)
{
    QStringList sends{LiveCommand(cmdChar, ModeLetter(modeIndex), false)};
    if (useDict)
        sends << LiveCommand(cmdChar, QStringLiteral("u"), false);
    sends << LiveCommand(cmdChar, QString());
    return sends;
}

QStringList UseDictSends(const QString &cmdChar, bool checked, int modeIndex)
{
    const QString letter = checked ? QStringLiteral("u") : ModeLetter(modeIndex);
    QStringList sends;
    if (letter == QLatin1String("d"))
        sends << LiveCommand(cmdChar, QStringLiteral("t"), false);
    sends << LiveCommand(cmdChar, letter);
    return sends;
}

QString ParameterCommand(int slider, int value, int modeIndex)
{
    QString letter;
    if (slider == kDelaySlider)
        letter = modeIndex == 1 ? QStringLiteral("t") : (modeIndex == 0 || modeIndex == 2 ? ModeLetter(modeIndex) : QString());
    else if (slider >= 0 && slider < kDelaySlider)
        letter = QString::fromLatin1(kSliders[slider].letter);
    return QString::number(value) + letter;
}

int ClampParameter(int slider, const QString &typed, bool native)
{
    if (slider < 0 || slider > kDelaySlider)
        return 0;
    // Digits only: a stray letter must not read as 0 and send it.
    qint64 value = 0;
    for (const QChar c : typed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        value = std::min<qint64>(value * 10 + (c.unicode() - '0'), 1'000'000);
    }
    return static_cast<int>(std::clamp<qint64>(value, 0, kSliders[slider].maxFor(native)));
}

int16_t GetRegisterValue(const QStringList &captions)
{
    int sum = 0;
    for (qsizetype i = 0; i < captions.size() && i < 16; ++i)
        sum += (1 << i) * captions.at(i).trimmed().toInt();
    return static_cast<int16_t>(sum);
}

QStringList RegisterCaptions(int value)
{
    QStringList captions;
    for (int i = 0; i < 8; ++i)
        captions << ((value >> i & 1) ? QStringLiteral("1") : QStringLiteral("0"));
    return captions;
}

QString ToggledBitCaption(const QString &caption)
{
    return caption == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1");
}

QString RegisterCommand(int value, char letter)
{
    return QString::number(value) + QLatin1Char(letter);
}

QString RestoreDefaultsQuestion(const QString &chipModel)
{
    return QStringLiteral("Restore the ") + chipModel + QStringLiteral("'s default settings? ");
}

QStringList RestoreDefaultsSends(const QString &cmdChar, bool for10)
{
    QStringList sends{LiveCommand(cmdChar, QStringLiteral("@"))};
    if (for10)
        sends << LiveCommand(cmdChar, QStringLiteral("-16g"));
    return sends;
}

QString PanelTitle(int panel, const QString &chipModel)
{
    switch (panel) {
    case 0:
        return QStringLiteral("Sinusoidal Tone Generator");
    case 1:
        return QStringLiteral("TTS Controls");
    case 2:
        return chipModel + QStringLiteral(" Registers");
    case 3:
        return QStringLiteral("A/D Converter");
    case 4:
        return QStringLiteral("Sound Recorder");
    default:
        return QString();
    }
}

QString PanelStatusLine(int panel, int recMemFree)
{
    if (panel == 3)
        return QStringLiteral("Status: Stopped");
    if (panel == 4 && recMemFree == -1)
        return QStringLiteral("Incompatible sound library");
    if (panel == 4 && recMemFree == -2)
        return QStringLiteral("Recording memory is corrupt");
    return QString();
}

ModeCheck CheckModeChange(int por, bool prevEmulation, bool prevModuleCompat, bool displayWarning)
{
    ModeCheck m;
    m.sv10Emulation = (por & 16) == 0;
    m.moduleCompat = (por & 128) == 0;
    m.showWarning = m.sv10Emulation && !prevEmulation && displayWarning;
    m.restoreCaption = !m.sv10Emulation && prevEmulation;
    m.stable = m.sv10Emulation == prevEmulation && m.moduleCompat == prevModuleCompat;
    return m;
}

PanelValues DecodePanelValues(const LinkStatus &s)
{
    PanelValues v;
    const int mode = s.mode();
    v.modeIndex = mode >= 0 && mode <= 2 ? 2 - mode : -1;
    v.sliders[0] = s.volume();
    v.sliders[1] = s.speed();
    v.sliders[2] = s.pitch();
    v.sliders[3] = s.tone();
    v.sliders[4] = s.articulation();
    v.sliders[5] = s.formant();
    v.sliders[6] = s.expression();
    v.sliders[7] = s.reverb();
    if (mode == 0)
        v.sliders[kDelaySlider] = s.charDelay();
    else if (mode == 1 || mode == 2)
        v.sliders[kDelaySlider] = s.textDelay();
    v.dictionaryKnown = s.dictionaryLoaded() != 0;
    v.useDict = s.dictionaryEnabled() != 0;
    v.useDictCommand = v.useDict ? QStringLiteral("u") : (mode == 0 ? QStringLiteral("c") : QStringLiteral("t"));
    v.voiceIndex = s.voice();
    v.ACR = s.ACR();
    v.POR = s.POR();
    v.PFR = s.PFR();
    v.sv10Emulation = (v.POR & 16) == 0;

    // Kilobytes as 32-bit numbers: a large memory must not overflow.
    v.recMemSize = static_cast<int>(roundHalfEven(s.recMemBytes() / 1024.0));
    const int32_t freeBytes = s.freeBytes();
    v.recMemFree = freeBytes >= 0 ? static_cast<int>(roundHalfEven(freeBytes / 1024.0)) : freeBytes;
    v.fileCount = s.fileCount();
    v.gaugeMax = v.recMemSize > 0 ? v.recMemSize : 1;
    v.recMemKnown = v.recMemFree >= 0;
    if (v.recMemKnown) {
        const int used = v.recMemSize - v.recMemFree;
        v.recMemLabel = QStringLiteral("Memory used: ") + mainwin::formatThousands(used) + QStringLiteral(" KB of ") +
                        mainwin::formatThousands(v.recMemSize) + QStringLiteral(" KB (") +
                        QString::number(v.fileCount) + QStringLiteral(" files)");
        v.gaugeValue = std::clamp(used, 0, v.gaugeMax);
    } else {
        v.recMemLabel = QStringLiteral("Memory used: unknown");
        v.gaugeValue = v.gaugeMax;
    }
    const bool tag = (v.POR & 8) != 0;
    v.indexType = tag ? 1 : 0;
    v.emulationStatus = QStringLiteral("SV3410 Emulation: ") + (v.sv10Emulation ? QStringLiteral("On") : QStringLiteral("Off"));
    v.addressingStatus = QStringLiteral("Addressing Mode: ") + (tag ? QStringLiteral("Tag") : QStringLiteral("Index"));
    v.durMaxLength = v.sv10Emulation ? 5 : 6;
    return v;
}

} // namespace vx
