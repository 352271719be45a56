#pragma once

// What a download into the chip needs to decide and say before and after
// the link library moves the bytes: the file kinds, the refusal of chip PCM
// files by the older chip, and the texts of the progress dialog, the status
// bar and the reports. `name` is always the file name to show (no folder,
// proper case).

#include <QString>

#include <cstdint>
#include <optional>

enum class DownloadKind { None, SoundLibrary, Greeting, Dictionary, Pcm, Firmware };

// The kind of a file by its extension, compared in lower case.
[[nodiscard]] DownloadKind DownloadKindOf(const QString &path);

// The refusal of a chip PCM file by the older chip: its number and text.
struct DownloadRefusal
{
    std::int32_t number;
    QString description;
};
// Nothing when a file of that kind may be transferred.
[[nodiscard]] std::optional<DownloadRefusal> DownloadRefusalFor(DownloadKind kind, bool isOlderChip);

// The progress dialog and first status bar panel during a transfer.
struct DownloadProgressTexts
{
    QString caption;
    QString message;
    QString status;
    QString statusBar;
};
[[nodiscard]] DownloadProgressTexts DownloadProgressTextsFor(DownloadKind kind, const QString &name,
                                                             const QString &chipModel, const QString &downloadTitle,
                                                             const QString &moduleName);

// The report after a transfer: the success text for the kind, or the error.
[[nodiscard]] QString DownloadSuccessMessage(DownloadKind kind, const QString &name);
[[nodiscard]] QString DownloadErrorMessage(const QString &description);
// The fifth status bar panel after a dictionary arrived.
[[nodiscard]] QString DictionaryPanelText(const QString &name);
