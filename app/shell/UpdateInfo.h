#pragma once

// The update check's answer and the About box's chip lines: plain text rules,
// so the dialogs only fetch, show and open.

#include <QString>

#include <array>
#include <cstdint>

namespace vx {

// The update information file: line 1 the latest version, line 2 the
// download link, the rest the release information; lines end with CR LF.
struct UpdateInfo
{
    QString latestVersion;
    QString link;
    QString releaseInfo;
};

enum class UpdateVerdict {
    NoInformation, // no answer, or an answer that is not a well-formed update file
    Latest,        // the latest version is the one running
    Offer,         // any other version: offer the download
};

struct UpdateCheck
{
    UpdateVerdict verdict = UpdateVerdict::NoInformation;
    UpdateInfo info;
};

// The parsed answer; false when it lacks either line end, the version line
// is empty, or the link is not an absolute http or https address (the link
// goes to the browser, so nothing else is accepted).
[[nodiscard]] bool ParseUpdateInfo(const QString &body, UpdateInfo *out);

// Major "." minor as two digits "." revision as four digits.
[[nodiscard]] QString InstalledVersionText(int major, int minor, int revision);

// The verdict for an answer against the installed version text; the two
// versions are compared as texts, exactly.
[[nodiscard]] UpdateCheck CheckForUpdate(const QString &body, const QString &installedVersion);

// About box: "Chipset version " and firmware bytes 7, 6 "." 5, 4 in hex, with
// the model; the n/a text without a chip.
[[nodiscard]] QString ChipVersionText(const std::array<uint8_t, 8> &chipInfo, bool isOlderChip, bool haveChip);
// About box: the recording memory in KB with its recording time.
[[nodiscard]] QString ChipMemoryText(int32_t recMemBytes, bool haveChip);

} // namespace vx
