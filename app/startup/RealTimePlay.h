#pragma once

// The byte streams of real-time play: a music score for the chip's tone
// generator and a chip PCM file for its real-time audio command. Plain
// functions over the file's bytes, so the order of the bytes is testable
// without a port.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The part of a music file the player reads: 8193 bytes, zero-padded.
inline constexpr int kMusicBufferSize = 8193;

// The largest compiled score the compiler writes (see the .cpp for why);
// a larger file that begins like one is refused unread.
[[nodiscard]] qint64 MaxCompiledScoreBytes();
// Why a compiled score of size bytes is refused; empty when it may be played.
[[nodiscard]] QString CompiledScoreSizeError(qint64 size);

// The eight bytes that end a score (a settings record with volume 0).
[[nodiscard]] QByteArray MusicClosingBytes();

// A compiled score starts with two CRs.
[[nodiscard]] bool IsCompiledScore(const QByteArray &file);
// What goes out after the tone command for a compiled score: the bytes after
// its first "j". Nothing when the score holds no "j".
[[nodiscard]] std::optional<QByteArray> CompiledScoreBody(const QByteArray &file);

// Walks a part table in buffer (kMusicBufferSize bytes): for each part its
// settings record, then its 4-byte events, each handed to send; the closing
// bytes after the last part. stopRequested is asked before each part and
// each event: a stop ends the part's events, and before a further part it
// ends the walk without the closing bytes and returns false (a stop during
// the last part still closes). Entries and events that would run past the
// buffer end the table or the part.
bool SendPartTable(const QByteArray &buffer, const std::function<void(const QByteArray &)> &send,
                   const std::function<bool()> &stopRequested);

// A chip PCM file's header, both forms, and what the player sends of it.
struct PcmStream
{
    bool marked = false;
    bool compressed = false;
    int rateCode = 0;
    qint64 start = 0; // where sending begins
    qint64 count = 0; // bytes sent from start before the end mark
    bool valid = false; // the header's data length matches the file's size
};
[[nodiscard]] PcmStream ReadPcmHeader(const QByteArray &head, qint64 fileSize);

// The real-time audio command for the stream: rate code and "%" or "#".
[[nodiscard]] QString PcmPlayCommand(const PcmStream &s);

// Splits the count bytes to send into the blocks the chip takes: 8 bytes
// each, the last holding what is left and one byte more that is always 128.
[[nodiscard]] std::vector<QByteArray> PcmBlocks(const QByteArray &data);

// The message for a compressed marked file on the older chip.
[[nodiscard]] QString PcmUnsupportedMessage(const QString &name);
