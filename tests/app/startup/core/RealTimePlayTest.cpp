// The byte streams of real-time play: part tables, compiled scores and the
// blocks of a PCM stream.
#include "app/startup/RealTimePlay.h"
#include "tests/support/Bytes.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

using vxtest::bytes;

QByteArray buffer(const QByteArray &head)
{
    QByteArray b = head;
    b.append(QByteArray(kMusicBufferSize - b.size(), '\0'));
    return b;
}

QList<QByteArray> walk(const QByteArray &buf, int stopAfter = -1, bool *finished = nullptr)
{
    QList<QByteArray> sent;
    int asked = 0;
    const bool done = SendPartTable(
        buf, [&](const QByteArray &p) { sent.append(p); }, [&] { return stopAfter >= 0 && asked++ >= stopAfter; });
    if (finished)
        *finished = done;
    return sent;
}

} // namespace

TEST(PartTable, PartsSendTheirSettingsAndEventsThenTheClosingBytes)
{
    // Two parts: at 8 (two events) and 20 (one event).
    QByteArray head = bytes({8, 0, 0x34, 0x12, 20, 0, 0x78, 0x56});
    head += bytes({48, 32, 25, 21, 24, 16, 0, 0, 0, 9, 9, 9});
    head += bytes({12, 1, 2, 3, 0});
    const QList<QByteArray> sent = walk(buffer(head));
    const QList<QByteArray> expected = {bytes({0, 255, 0x34, 0x12}), bytes({48, 32, 25, 21}), bytes({24, 16, 0, 0}),
                                        bytes({0, 255, 0x78, 0x56}), bytes({12, 1, 2, 3}), MusicClosingBytes()};
    EXPECT_EQ(sent, expected);
}

TEST(PartTable, EdgesAndMalformedTables)
{
    // A first offset of 0 sends only the closing bytes.
    EXPECT_EQ(walk(buffer({})), QList<QByteArray>{MusicClosingBytes()});
    // A stop after the first part's settings: no closing bytes.
    bool finished = true;
    const QList<QByteArray> stopped = walk(buffer(bytes({4, 0, 1, 2, 48, 1, 1, 1})), 1, &finished);
    EXPECT_FALSE(finished);
    EXPECT_EQ(stopped, QList<QByteArray>{bytes({0, 255, 1, 2})});
    // A stop during the last part's events still sends the closing bytes.
    const QByteArray lastPart = bytes({8, 0, 1, 2, 0, 0, 0, 0, 48, 1, 1, 1, 24, 1, 1, 1});
    const QList<QByteArray> closed = walk(buffer(lastPart), 2, &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(closed, (QList<QByteArray>{bytes({0, 255, 1, 2}), bytes({48, 1, 1, 1}), MusicClosingBytes()}));
    // Every entry pointing at the last bytes, and an event list without its
    // zero: the walk stops at the buffer's end.
    QByteArray full(kMusicBufferSize, char(0x7F));
    full[0] = char(0xFC);
    full[1] = char(0x1F); // 8188
    const QList<QByteArray> sent = walk(full);
    EXPECT_EQ(sent.back(), MusicClosingBytes());
    for (const QByteArray &p : sent)
        EXPECT_LE(p.size(), 8);
    // A buffer shorter than the table still ends.
    EXPECT_EQ(walk(bytes({8, 0})), QList<QByteArray>{MusicClosingBytes()});
}

TEST(CompiledScore, TheBytesAfterTheFirstJGoOut)
{
    const QByteArray tgx = bytes({13, 13, 0x18, 0x1E, 1, 'j', 0, 255, 1, 2, 48, 32, 0, 0}) + MusicClosingBytes();
    EXPECT_TRUE(IsCompiledScore(tgx));
    EXPECT_EQ(CompiledScoreBody(tgx), tgx.mid(6));
    EXPECT_FALSE(CompiledScoreBody(bytes({13, 13, 1, 2})).has_value());
    EXPECT_FALSE(IsCompiledScore(bytes({13, 0})));
}

TEST(PcmStream, HeadersAndBlocks)
{
    // Plain 16 bytes at rate 78: 8, then 8 and the end byte.
    QByteArray plain = bytes({16, 0, 0, 78}) + QByteArray(16, 5);
    PcmStream s = ReadPcmHeader(plain.left(16), plain.size());
    EXPECT_TRUE(s.valid);
    EXPECT_FALSE(s.marked);
    EXPECT_EQ(PcmPlayCommand(s), QStringLiteral("78#"));
    EXPECT_EQ(s.start, 4);
    const std::vector<QByteArray> blocks = PcmBlocks(plain.mid(s.start, s.count));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0], QByteArray(8, 5));
    EXPECT_EQ(blocks[1], QByteArray(8, 5) + bytes({0x80}));
    EXPECT_EQ(PcmBlocks(QByteArray(17, 1)).back(), bytes({1, 0x80}));
    EXPECT_EQ(PcmBlocks({}).front(), bytes({0x80}));

    // Marked and compressed: from offset 7, the file's own end mark replaced.
    QByteArray marked = bytes({13, 13, 0x1E, 1, '9', '9', '%', 0, 0xC0, 0xDB, 4, 0, 0, 0x80 | 99, 0, 0});
    marked += bytes({1, 2, 3, 0x80});
    s = ReadPcmHeader(marked, marked.size());
    EXPECT_TRUE(s.valid && s.marked && s.compressed);
    EXPECT_EQ(PcmPlayCommand(s), QStringLiteral("99%"));
    EXPECT_EQ(s.start, 7);
    EXPECT_EQ(s.count, 12);
    const std::vector<QByteArray> m = PcmBlocks(marked.mid(s.start, s.count));
    EXPECT_EQ(m.front(), marked.mid(7, 8));
    EXPECT_EQ(m.back(), marked.mid(15, 4) + bytes({0x80}));

    // A header whose length disagrees with the file is refused.
    EXPECT_FALSE(ReadPcmHeader(bytes({0xFF, 0xFF, 0xFF, 78}), 20).valid);
}
