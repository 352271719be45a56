#include "app/panels/RecorderStatus.h"

namespace vx {

namespace {

constexpr int kRateCodes[] = {0, 32, 52, 67, 78, 86, 93, 99};

QString fiveDigits(qint64 v)
{
    return QStringLiteral("%1").arg(v, 5, 10, QLatin1Char('0'));
}

} // namespace

RecorderStatusAction DecodeRecorderStatus(int byte)
{
    RecorderStatusAction a;
    a.byte = byte;
    switch (byte) {
    case 0:
        a.finished = true;
        break;
    case 5:
        a.message = QStringLiteral("Recording memory corrupt. ");
        a.stopReception = true;
        break;
    case 7:
        a.writeError = true;
        break;
    case 8:
        a.message = QStringLiteral("Out of recording memory. ");
        a.stopReception = true;
        break;
    case 12:
        a.message = QStringLiteral("Invalid sound library in memory. ");
        break;
    case 13:
        a.message = QStringLiteral("Duplicate tag in sound library. ");
        a.stopReception = true;
        break;
    case 14:
        a.stopReception = true;
        break;
    case 15:
        a.kilobyte = true;
        break;
    default:
        break;
    }
    return a;
}

std::vector<RecorderStatusAction> DecodeRecorderStatuses(const QByteArray &bytes)
{
    std::vector<RecorderStatusAction> actions;
    actions.reserve(bytes.size());
    constexpr unsigned char kEndMarker = 98;
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) != kEndMarker)
            actions.push_back(DecodeRecorderStatus(static_cast<unsigned char>(b)));
    }
    return actions;
}

QString WriteErrorMessage()
{
    return QStringLiteral("Error writing to recording memory. ");
}

QString RecordingPercentText(int recMemSize, int recMemFree)
{
    if (recMemSize <= 0)
        return QStringLiteral("Memory used: unknown");
    const qint64 percent = (qint64(recMemSize) - recMemFree) * 100 / recMemSize;
    return QStringLiteral("Memory used: ") + QString::number(percent) + QLatin1Char('%');
}

int RecordingRateCode(int sliderPos, bool compress)
{
    const int pos = sliderPos < 0 ? 0 : (sliderPos > 7 ? 7 : sliderPos);
    return kRateCodes[pos] + (compress ? 128 : 0);
}

QString SampleRateLabel(int sliderPos)
{
    return QString::number(sliderPos + 4) + QStringLiteral(" kHz");
}

QString RecorderAdcCommand(int adcSettings)
{
    return QString::number(adcSettings + 128) + QLatin1Char('$');
}

QString RecordingCommand(int sliderPos, bool compress, int tag)
{
    return QString::number(RecordingRateCode(sliderPos, compress)) + QLatin1Char('l') + fiveDigits(tag);
}

bool IsRecMemNumberValid(qint64 number)
{
    return number >= 0 && number <= kLargestRecMemNumber;
}

QString TagOutOfRangeMessage()
{
    return QStringLiteral("Tag out of range. Valid range is 0-65534.  ");
}

QString TagIndexOutOfRangeMessage()
{
    return QStringLiteral("Tag/Index value out of range. Valid range is 0-65534.  ");
}

QString UploadToolTip(qint64 number)
{
    return QStringLiteral("Upload sound file from SV3420 (SV3420 command: 245L") + fiveDigits(number) +
           QLatin1Char(')');
}

QString DeleteToolTip(qint64 number)
{
    return QStringLiteral("Delete sound file from SV3420 (SV3420 command: 234L") + fiveDigits(number) +
           QLatin1Char(')');
}

QString ProposedUploadName(const QString &boxText, bool byTag)
{
    return (byTag ? QStringLiteral("Tag") : QStringLiteral("Index")) + boxText + QStringLiteral(".pcm");
}

QString ParmLabel(const QString &name, qint64 limit)
{
    return name + QStringLiteral(" (0-") + QString::number(limit) + QStringLiteral("):");
}

QString ToneInstructions()
{
    return QStringLiteral("Create the desired tone(s) using the Sinusoidal Tone Generator control panel. To verify "
                          "the tones, click the Play button in the toolbar. Click OK when you're done.");
}

QString RecordingInstructions()
{
    return QStringLiteral("Enter the recording's index or tag value in the File box of the Sound Recorder control "
                          "panel. To verify the recording, click the Play button in the toolbar. Click OK when "
                          "you're done.");
}

QString ParmRangeMessage()
{
    return QStringLiteral("Input value exceeds parameter range  ");
}

ParmAnswer CheckParmAnswer(const QString &answer, qint64 limit)
{
    ParmAnswer a;
    if (answer.isEmpty())
        return a;
    a.verdict = ParmVerdict::Refused;
    qint64 value = 0;
    for (const QChar c : answer) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return a;
        value = value * 10 + (c.unicode() - '0');
        if (value > limit)
            return a;
    }
    a.verdict = ParmVerdict::Accepted;
    a.value = QString::number(value);
    return a;
}

} // namespace vx
