// The receive state machine fed bytes directly: the highlight stays on the
// word whose marker the chip answered, the end marker gives the selection
// back, status bytes that arrive together all count, and the chip's phoneme
// codes read as names.
#include "app/startup/Receive.h"
#include "app/startup/SpeechPieces.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QByteArray k99("c");

SpokenText plain(const QString &text)
{
    SpokenText s;
    s.crlf = text;
    return s;
}

// Speaks `text`, answers every index marker with byte 99, and returns the
// words the highlight showed next to the words that went out behind a marker.
std::pair<QStringList, QStringList> speakAndTrack(const QString &text, bool phonemes, const QString &shortcut)
{
    SpeakRequest req;
    req.text = text;
    req.phonemeMode = phonemes;
    req.shortcut = shortcut;
    SpeechPieces pieces(req);
    ChipReceiver rx;
    rx.begin(kTrackSpeech);
    rx.beginSpeaking(pieces.trackStart(), 0, 0);
    SpokenText spoken = plain(text);
    spoken.phonemeMode = phonemes;
    spoken.shortcut = shortcut;
    QStringList marked, shown;
    while (auto piece = pieces.next()) {
        const qsizetype at = piece->indexOf(QStringLiteral("\x01" "99i"));
        if (at < 0)
            continue;
        QString word = piece->mid(at + 4);
        if (word.endsWith(QLatin1Char('\r')))
            word.chop(1);
        marked << word;
        const ReceiveEffects fx = rx.take(k99, spoken);
        EXPECT_TRUE(fx.select.has_value());
        shown << PrepareSpokenWord(text.mid(fx.select->start, fx.select->length), shortcut);
    }
    return {marked, shown};
}

TEST(Receive, HighlightFollowsTheMarkersWordForWord)
{
    struct Case
    {
        const char *text;
        bool phonemes;
        QStringList words;
    };
    const Case cases[] = {
        {"well-known 3-4 items", false, {"well", "known", "3-4", "items"}},
        {"one\r\ntwo  three", false, {"one", "two", "three"}},
        {"dh ax   k ae t", true, {"dh ax", "k ae t"}},
        {"say ~5s hello", false, {"say", "hello"}},
        {"-lead x", false, {"-lead", "x"}},
        // The "&" lies beyond the command's seven characters: no marker, and
        // the scan must pass the word over as well.
        {"a ~1234567&z b", false, {"a", "b"}},
        // An escaped shortcut turns into a command before the marker test.
        {"a \\7E5s b ~5j c", false, {"a", "b", "\x01" "5j", "c"}},
    };
    for (const Case &c : cases) {
        const auto [marked, shown] = speakAndTrack(QString::fromUtf8(c.text), c.phonemes, QStringLiteral("~"));
        EXPECT_EQ(marked, c.words) << c.text;
        EXPECT_EQ(shown, marked) << c.text;
    }
    // The editor holds LF and letters outside ASCII; the scan counts the CR
    // LF view, and the selection maps back onto the same words.
    const QString editor = QStringLiteral(u"café\n€5 naïve");
    const vx::CrLfView view(editor);
    const auto [marked, shown] = speakAndTrack(view.text(), false, QString());
    EXPECT_EQ(shown, marked);
    ChipReceiver rx;
    rx.beginSpeaking(1, 0, 0);
    QStringList inEditor;
    for (int k = 0; k < 3; ++k) {
        const TextSelection sel = EditorSelection(view, *rx.take(k99, plain(view.text())).select);
        inEditor << editor.mid(sel.start, sel.length);
    }
    EXPECT_EQ(inEditor, (QStringList{QStringLiteral(u"café"), QStringLiteral(u"€5"), QStringLiteral(u"naïve")}));
}

TEST(Receive, ScanEdges)
{
    ChipReceiver rx;
    rx.begin(kTrackSpeech);
    // A stray index byte before any word was prepared selects nothing.
    EXPECT_FALSE(rx.take(k99, plain(QStringLiteral("abc"))).select);

    // 200 gaps at the scan start: the selection starts 200 further on and
    // runs to the end; later bytes leave the caret at the end.
    const QString gaps = QString(200, QLatin1Char(' ')) + QStringLiteral("xyzzy");
    rx.beginSpeaking(1, 0, 0);
    EXPECT_EQ(rx.take(k99, plain(gaps)).select, (TextSelection{200, 5}));
    EXPECT_EQ(rx.take(k99, plain(gaps)).select, (TextSelection{205, 0}));
}

TEST(Receive, EndMarkerGivesTheSelectionBack)
{
    const QString text = QStringLiteral("one two three");
    ChipReceiver rx;
    rx.begin(kTrackSpeech);
    rx.beginSpeaking(1, 0, 0);
    ReceiveEffects fx = rx.take(QByteArray("cb"), plain(text));
    EXPECT_TRUE(fx.speakingEnded && fx.stopEvents);
    EXPECT_EQ(fx.select, (TextSelection{text.size(), 0}));

    rx.beginSpeaking(5, 4, 3);
    fx = rx.take(QByteArray("b"), plain(text));
    EXPECT_EQ(fx.select, (TextSelection{4, 3}));
}

TEST(Receive, StatusBytesThatArriveTogetherAllCount)
{
    ChipReceiver rx;
    rx.begin(kRecordingStatus);
    ReceiveEffects fx = rx.take(QByteArray("\x0f\x00", 2), plain({}));
    EXPECT_EQ(fx.statusBytes, QByteArray("\x0f\x00", 2));
    EXPECT_FALSE(fx.stopRequested);
    EXPECT_EQ(rx.state().LastStatusByte, 0);

    fx = rx.take(QByteArray("\x0f\x08\x62"), plain({}));
    EXPECT_EQ(fx.statusBytes, QByteArray("\x0f\x08\x62"));
    EXPECT_TRUE(fx.stopRequested && fx.stopEvents);
    EXPECT_EQ(rx.state().LastStatusByte, 8); // 98 never overwrites the status

    rx.begin(kAudioSamples);
    EXPECT_EQ(rx.take(QByteArray("\x80\x81\x62", 3), plain({})).audio, QByteArray("\x80\x81\x62", 3));
}

TEST(Receive, PhonemeCodesReadAsNames)
{
    struct Case
    {
        QByteArray in;
        const char *out;
    };
    const Case cases[] = {
        {"z", "aa "},
        {"123", "123 "},
        {"(", "< "},
        {")`", "> px "},
        {"\x91~", ""},
        {"ru y", "dh ax   ae "},
        {"A.", "a . "},
        {"\xfd" "5s\xfd", "\\015s "},
        {"\xfd" "j\x01\xa0\x7f\xfd" "z", "\\01j\\01\\A0\\7F aa "},
    };
    for (const Case &c : cases) {
        PhonemeConverterState st;
        EXPECT_EQ(ConvertChipCodesToPhonemes(c.in, st), QString::fromLatin1(c.out)) << c.in.toHex().constData();
    }
    // A command split between two reads stays a command.
    PhonemeConverterState st;
    EXPECT_EQ(ConvertChipCodesToPhonemes("z\xfd" "5", st), QStringLiteral("aa \\015"));
    EXPECT_EQ(ConvertChipCodesToPhonemes("s\xfd" "z", st), QStringLiteral("s aa "));

    // Each transcription request starts outside a command.
    ChipReceiver rx;
    rx.begin(kPhoneticText);
    EXPECT_EQ(rx.take(QByteArray("\xfd" "5"), plain({})).phonetic, QStringLiteral("\\015"));
    rx.begin(kPhoneticText);
    EXPECT_EQ(rx.take(QByteArray("z"), plain({})).phonetic, QStringLiteral("aa "));
}

TEST(Receive, QuietLineEndsAfterHalfASecondWithoutChange)
{
    QuietLine q(0, 0);
    EXPECT_FALSE(q.ended(400, 0));
    EXPECT_FALSE(q.ended(450, 12)); // more bytes came: the half second starts again
    EXPECT_FALSE(q.ended(900, 12));
    EXPECT_TRUE(q.ended(950, 12));
}

} // namespace
