#include "app/startup/RealTimePlay.h"

#include "app/documents/GridFile.h"
#include "components/cantorel/ScoreCompiler.h"
#include "components/cantorel/ScoreTables.h"

namespace {

int byteAt(const QByteArray &b, qsizetype i)
{
    return i >= 0 && i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
}

} // namespace

qint64 MaxCompiledScoreBytes()
{
    // The compiler reads no larger source than a score window opens, and its
    // replays compile at most kMaxReplayedText characters more. One compiled
    // character writes at most 8 bytes: a one-character rest after a dotted
    // whole note lasts 288 ticks, two events; a note line's settings record
    // fits within the "v1" it needs besides its notes.
    const qint64 compiled = MaxGridFileBytes(false) + qint64(cantorel::ScoreCompiler::kMaxReplayedText);
    return qint64(cantorel::kTgxHeader.size()) + 8 * compiled + qint64(cantorel::kTgxClosing.size());
}

QString CompiledScoreSizeError(qint64 size)
{
    const qint64 max = MaxCompiledScoreBytes();
    if (size <= max)
        return {};
    return QStringLiteral("The file is larger than a compiled music score may be (") + QString::number(max >> 20) +
           QStringLiteral(" MB).");
}

QByteArray MusicClosingBytes()
{
    return QByteArray("\x00\x00\x01\x01\x00\x00\x00\x00", 8);
}

bool IsCompiledScore(const QByteArray &file)
{
    return file.size() >= 2 && file[0] == '\r' && file[1] == '\r';
}

std::optional<QByteArray> CompiledScoreBody(const QByteArray &file)
{
    const qsizetype j = file.indexOf('j');
    if (j < 0)
        return std::nullopt;
    return file.mid(j + 1);
}

bool SendPartTable(const QByteArray &buffer, const std::function<void(const QByteArray &)> &send,
                   const std::function<bool()> &stopRequested)
{
    const qsizetype upper = kMusicBufferSize - 1;
    for (qsizetype entry = 0; entry + 3 < buffer.size(); entry += 4) {
        const qsizetype offset = byteAt(buffer, entry) | (byteAt(buffer, entry + 1) << 8);
        if (offset == 0 || offset >= upper)
            break;
        if (stopRequested())
            return false;
        QByteArray settings(2, '\0');
        settings[1] = char(0xFF);
        settings.append(buffer.mid(entry + 2, 2));
        send(settings);
        // An event list without its zero byte ends at the buffer's end.
        // A stop ends the part; the next entry then ends the table, or the
        // walk when another part follows.
        for (qsizetype at = offset; at + 3 < buffer.size() && byteAt(buffer, at) != 0; at += 4) {
            if (stopRequested())
                break;
            send(buffer.mid(at, 4));
        }
    }
    send(MusicClosingBytes());
    return true;
}

PcmStream ReadPcmHeader(const QByteArray &head, qint64 fileSize)
{
    PcmStream s;
    const auto u24 = [&](int at) { return byteAt(head, at) | (byteAt(head, at + 1) << 8) | (byteAt(head, at + 2) << 16); };
    s.marked = (byteAt(head, 8) | (byteAt(head, 9) << 8)) == 0xDBC0;
    int code = 0;
    qint64 length = 0;
    if (s.marked) {
        length = u24(10);
        code = byteAt(head, 13);
        s.start = 7;
        s.count = length + 8;
        s.valid = fileSize - 16 == length;
    } else {
        length = u24(0);
        code = byteAt(head, 3);
        s.start = 4;
        s.count = length;
        s.valid = fileSize - 4 == length;
    }
    s.compressed = (code & 0x80) != 0;
    s.rateCode = code & 0x7F;
    return s;
}

QString PcmPlayCommand(const PcmStream &s)
{
    return QString::number(s.rateCode) + (s.compressed ? QLatin1Char('%') : QLatin1Char('#'));
}

std::vector<QByteArray> PcmBlocks(const QByteArray &data)
{
    std::vector<QByteArray> blocks;
    const qsizetype n = data.size();
    qsizetype i = 0;
    // A block starting at the (i+1)-th byte is full while N - (i+1) >= 8.
    while (n - (i + 1) >= 8) {
        blocks.push_back(data.mid(i, 8));
        i += 8;
    }
    QByteArray last = data.mid(i);
    last.append(char(0x80));
    blocks.push_back(last);
    return blocks;
}

QString PcmUnsupportedMessage(const QString &name)
{
    return QStringLiteral("'") + name + QStringLiteral("' ") + QStringLiteral("is an SV3420 ADPCM-encoded sound file. ") +
           QStringLiteral("\r\n") + QStringLiteral("It is not compatible with the SV3410.");
}
