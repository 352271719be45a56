// What goes to the chip when a text is spoken, transcribed or recorded:
// golden piece sequences for the word splitter and the command strings.
#include "app/startup/SpeechPieces.h"
#include "platform/Cp1252.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList allPieces(const SpeakRequest &req)
{
    SpeechPieces pieces(req);
    QStringList out;
    while (auto p = pieces.next())
        out << *p;
    return out;
}

QString nul()
{
    return QString(QChar(0));
}

QString marked(const char *word)
{
    return QStringLiteral(" \x01" "99i") + QString::fromUtf8(word);
}

TEST(SpeechPieces, CommandStrings)
{
    EXPECT_EQ(vx::toCp1252(SpeechResetCommand()), QByteArray("\r\x18"));
    EXPECT_EQ(vx::toCp1252(SpeechModeCommands(false, 0, true)), QByteArray("\x01t\x01u\0", 5));
    EXPECT_EQ(vx::toCp1252(SpeechModeCommands(false, 2, false)), QByteArray("\x01" "c\0", 3));
    EXPECT_EQ(vx::toCp1252(SpeechModeCommands(true, 1, true)), QByteArray("\x01" "d\0", 3));
    EXPECT_EQ(vx::toCp1252(SpeechRequestCommand(0)), QByteArray());
    EXPECT_EQ(vx::toCp1252(SpeechRequestCommand(1)), QByteArray("\x01" "10?"));
    EXPECT_EQ(vx::toCp1252(SpeechRequestCommand(2)), QByteArray("\x01" "11?\0", 5));
    EXPECT_EQ(vx::toCp1252(SpeechEndMarker()), QByteArray(" ,\x01" "98i\0", 7));
}

TEST(SpeechPieces, SpeakingSequences)
{
    SpeakRequest req;
    req.text = QStringLiteral("well-known 3-4 items");
    EXPECT_EQ(allPieces(req), (QStringList{marked("well"), marked("known"), marked("3-4"), marked("items"),
                                           QStringLiteral(" ,\x01" "98i") + nul()}));

    // A selection ending inside a word sends that word whole; the caret at
    // the end speaks everything.
    req.text = QStringLiteral("hello world again");
    req.selLength = 8;
    EXPECT_EQ(allPieces(req).mid(0, 3), (QStringList{marked("hello"), marked("world"), QStringLiteral(" ,\x01" "98i") + nul()}));
    req.selStart = req.text.size();
    req.selLength = 0;
    EXPECT_EQ(allPieces(req).size(), 4);

    // Phoneme mode: three blanks between words.
    req = {};
    req.text = QStringLiteral("dh ax   k ae t");
    req.phonemeMode = true;
    EXPECT_EQ(allPieces(req).first(), QStringLiteral("   \x01" "99idh ax"));

    // Words with a command go without a marker unless they hold *, j or a near &.
    req = {};
    req.text = QStringLiteral("~5s ~2* ~1234567& ~6j");
    req.shortcut = QStringLiteral("~");
    EXPECT_EQ(allPieces(req).mid(0, 4), (QStringList{QStringLiteral(" \x01" "5s"), marked("\x01" "2*"),
                                                     QStringLiteral(" \x01" "1234567&"), marked("\x01" "6j")}));
}

TEST(SpeechPieces, NulEveryTwentyWordsCountRestartsAtLineEnd)
{
    SpeakRequest req;
    req.mode = 1;
    QStringList words;
    for (int k = 0; k < 45; ++k)
        words << QStringLiteral("w%1").arg(k);
    req.text = words.join(QLatin1Char(' '));
    const QStringList out = allPieces(req);
    QList<qsizetype> nuls;
    for (qsizetype k = 0; k < out.size(); ++k) {
        if (out[k] == nul())
            nuls << k;
    }
    // After words 20 and 40, and a final one for the last five.
    EXPECT_EQ(nuls, (QList<qsizetype>{20, 41, 47}));
    EXPECT_EQ(out[0], QStringLiteral(" w0")); // no markers outside speaking

    // A line end restarts the count; the text still ends with a NUL.
    req.text = QStringLiteral("a b\r\nc\r\n");
    EXPECT_EQ(allPieces(req), (QStringList{QStringLiteral(" a"), QStringLiteral(" b\r"), QStringLiteral(" c\r"), nul()}));
}

TEST(SpeechPieces, WithoutHighlightingPiecesOf200AndAFinalNul)
{
    SpeakRequest req;
    req.highlight = false;
    req.shortcut = QStringLiteral("~");
    req.text = QString(199, QLatin1Char('x')) + QStringLiteral("~\\41");
    for (int mode : {0, 1, 2}) {
        req.mode = mode;
        const QStringList out = allPieces(req);
        ASSERT_EQ(out.size(), 3) << mode;
        EXPECT_EQ(out[0], QString(199, QLatin1Char('x')) + QStringLiteral("\x01"));
        EXPECT_EQ(out[1], QStringLiteral("A"));
        EXPECT_EQ(out[2], mode == 0 ? QStringLiteral(" ,\x01" "98i") + nul() : nul());
    }
}

} // namespace
