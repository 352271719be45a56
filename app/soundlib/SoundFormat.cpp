#include "app/soundlib/SoundFormat.h"

#include "platform/Numbers.h"

namespace {

const QString kBullet = QString(QChar(0x2022));

// "##.000": three decimals, no leading zero before the point.
QString threeDecimals(double value, const QLocale &locale)
{
    const long long thousandths = vx::roundHalfEven(value * 1000.0);
    const long long whole = thousandths / 1000;
    const long long frac = thousandths % 1000;
    return (whole != 0 ? QString::number(whole) : QString()) + locale.decimalPoint()
        + QStringLiteral("%1").arg(frac, 3, 10, QLatin1Char('0'));
}

QString channelName(qint16 channels)
{
    if (channels == 1)
        return QStringLiteral("Mono");
    if (channels == 2)
        return QStringLiteral("Stereo");
    return QString::number(channels) + QStringLiteral(" channels");
}

} // namespace

QString FormatGrouped(qint64 value, bool blankZero, const QLocale &locale)
{
    if (value == 0)
        return blankZero ? QString() : QStringLiteral("0");
    const QString digits = QString::number(value < 0 ? -value : value);
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += locale.groupSeparator();
        out += digits[i];
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

qint64 MemUsedKB(qint64 bytes)
{
    return vx::roundHalfEven(static_cast<double>(bytes) / 1024.0);
}

QString MemUsedText(qint64 bytes, const QLocale &locale)
{
    return FormatGrouped(MemUsedKB(bytes), false, locale) + QStringLiteral(" KB");
}

QString ProperCaseName(const QString &name)
{
    QString out = name.toLower();
    bool wordStart = true;
    for (QChar &c : out) {
        if (wordStart)
            c = c.toUpper();
        const char16_t u = c.unicode();
        wordStart = u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\0' || u == u'\v' || u == u'\f';
    }
    return out;
}

QString SoundItemText(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return ProperCaseName(dot > 0 ? fileName.left(dot) : fileName);
}

SoundListItem MakeListItem(const SoundEntry &entry, const QLocale &locale)
{
    SoundListItem item;
    item.cells[colFile] = SoundItemText(entry.FileName);
    item.cells[colTag] = QString::number(entry.Tag);
    item.cells[colMemUsed] = MemUsedText(entry.MemUsed, locale);
    item.cells[colComp] = entry.Compress || entry.Kind == sfkCompressedPcm ? kBullet : QString();
    item.cells[colBoost] = entry.Boost ? kBullet : QString();
    item.cells[colLocation] = entry.Location;
    return item;
}

QString PropertiesLine(const SoundEntry &entry, const QLocale &locale)
{
    if (entry.Kind == sfkNotSound)
        return QStringLiteral("File has been moved or deleted!");
    QString line = channelName(entry.Channels) + QStringLiteral(", ")
        + threeDecimals(entry.SampleRate / 1000.0, locale) + QStringLiteral(" kHz, ");
    if (entry.Kind == sfkMp3)
        line += QString::number(entry.BitRate / 1000) + QStringLiteral(" kbps, ");
    else
        line += QString::number(entry.BitsPerSample) + QStringLiteral(" bit, ");
    return line + FormatGrouped(vx::roundHalfEven(entry.DataBytes / 1024.0), true, locale) + QStringLiteral(" KB");
}

QString RateLabel(const SoundEntry &entry, const QLocale &locale)
{
    const int d = RateReductionFactor(entry.SampleRate);
    if (entry.Kind == sfkNotSound || d < 1)
        return QString();
    return threeDecimals(static_cast<double>(entry.SampleRate) / d / 1000.0, locale) + QStringLiteral(" kHz");
}

QString MemLabel(const SoundEntry &entry, const QLocale &locale)
{
    const bool compressed = entry.Compress || entry.Kind == sfkCompressedPcm;
    return (compressed ? QStringLiteral("< ") : QString()) + MemUsedText(entry.MemUsed, locale);
}

SoundLibTotals ComputeSoundLibTotals(const SoundRows &rows, const QLocale &locale)
{
    SoundLibTotals t;
    for (const SoundRow &row : rows) {
        if (row.entry.Kind == sfkNotSound)
            continue;
        ++t.files;
        t.totalBytes += row.entry.MemUsed;
    }
    t.totalKB = MemUsedKB(t.totalBytes);
    t.gauge = (static_cast<double>(t.totalKB) / 8000.0 - 0.013) * 100.0;
    t.filesText = QStringLiteral("Files: ") + QString::number(t.files);
    t.sizeText = QStringLiteral("Memory req'd (est): ") + FormatGrouped(t.totalKB, false, locale) + QStringLiteral(" KB");
    return t;
}
