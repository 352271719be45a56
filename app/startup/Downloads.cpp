#include "app/startup/Downloads.h"

#include <QFileInfo>

namespace {

struct KindRow
{
    const char *extension;
    DownloadKind kind;
};

constexpr KindRow kKinds[] = {
    {"sfx", DownloadKind::SoundLibrary}, {"grt", DownloadKind::Greeting}, {"dix", DownloadKind::Dictionary},
    {"pcm", DownloadKind::Pcm},          {"bin", DownloadKind::Firmware},
};

constexpr std::uint32_t kObjectErrorBase = 0x80040000u;
const QString kCrLf = QStringLiteral("\r\n");

} // namespace

DownloadKind DownloadKindOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const KindRow &row : kKinds) {
        if (ext == QLatin1String(row.extension))
            return row.kind;
    }
    return DownloadKind::None;
}

std::optional<DownloadRefusal> DownloadRefusalFor(DownloadKind kind, bool isOlderChip)
{
    if (!isOlderChip || kind != DownloadKind::Pcm)
        return std::nullopt;
    return DownloadRefusal{
        static_cast<std::int32_t>(kObjectErrorBase + 999u),
        QStringLiteral("PCM data files cannot be stored in the SV3410; they can only be played using the  ") + kCrLf +
            QStringLiteral("SV3410's real-time playback mode. Use the 'Play' function in the File menu to play the file.")};
}

DownloadProgressTexts DownloadProgressTextsFor(DownloadKind kind, const QString &name, const QString &chipModel,
                                               const QString &downloadTitle, const QString &moduleName)
{
    const QString initializing = QStringLiteral("Initializing...");
    if (kind == DownloadKind::Firmware)
        return {chipModel + QStringLiteral(" Update"),
                QStringLiteral("Updating the ") + chipModel + QStringLiteral(" chipset. DO NOT interrupt ") + kCrLf +
                    QStringLiteral("this process!"),
                initializing, QStringLiteral("Updating ") + chipModel + QStringLiteral(" chipset...")};
    return {downloadTitle,
            QStringLiteral("Downloading '") + name + QStringLiteral("' to the ") + moduleName + QLatin1Char('.'),
            initializing, QStringLiteral("Downloading '") + name + QStringLiteral("'...")};
}

QString DownloadSuccessMessage(DownloadKind kind, const QString &name)
{
    if (kind == DownloadKind::Greeting)
        return QStringLiteral("The greeting file '") + name + QStringLiteral("' was successfully downloaded. ") + kCrLf +
               QStringLiteral("To verify this, press the RESET button on the evaluation board.");
    return QLatin1Char('\'') + name + QStringLiteral("' was successfully downloaded. ");
}

QString DownloadErrorMessage(const QString &description)
{
    return QStringLiteral("ERROR: ") + description;
}

QString DictionaryPanelText(const QString &name)
{
    return QStringLiteral("Dictionary: ") + name + QLatin1Char(' ');
}
