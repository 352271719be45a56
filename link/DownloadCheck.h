#pragma once

// What the link refuses before a download sends its first byte: a file of no
// kind the chip takes, an empty file, a file larger than the chip can take,
// a file of a kind whose producers always write a fixed header that it
// lacks, and a chip PCM file that the chip would not store (the plain form,
// which carries no command, and any for the SV3410). Both programs send
// through here, so they refuse alike. The file itself goes out unchanged;
// this only looks at its name, its length and its first bytes.

#include "link/LinkError.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vx {

// The stream a file is, by its extension (any case).
enum class DownloadStream { SoundLibrary, Greeting, Dictionary, ChipPcm, Firmware, Other };
[[nodiscard]] DownloadStream downloadStreamOf(const QString &path);

// How many leading bytes downloadRefusal looks at.
inline constexpr int DownloadHeadBytes = 32;

// The same, where the name shows no kind, by the file's first bytes (head, of
// a file size bytes long): a sound library, a greeting, a dictionary and a
// chip PCM file in the marked form open with a fixed header. A chipset image
// has none, so only its name shows one.
[[nodiscard]] DownloadStream downloadStreamOf(const QString &path, const QByteArray &head, qint64 size);
// That of the file at path, opened only when its name shows no kind; Other
// when it cannot be read.
[[nodiscard]] DownloadStream downloadStreamOfFile(const QString &path);

// The largest file of a stream the chip can take: what goes into the
// recording memory (and what the chip does not know) is bounded by
// recMemBytes, a greeting and a dictionary by their formats, a firmware image
// by the largest memory any board carries.
[[nodiscard]] qint64 largestDownload(DownloadStream stream, qint64 recMemBytes);

// Why the file `name` (size bytes long, beginning with head) must not be
// sent; nothing when it may. olderChip: the chip is known to be an SV3410.
[[nodiscard]] std::optional<LinkError> downloadRefusal(const QString &name, DownloadStream stream,
                                                       const QByteArray &head, qint64 size, qint64 recMemBytes,
                                                       bool olderChip);

} // namespace vx
