#include "app/startup/SpeechPieces.h"

#include "app/startup/Globals.h"
#include "app/startup/Receive.h"
#include "app/startup/SendPath.h"

namespace {

constexpr qsizetype kWindow = 200;  // characters looked at per word
constexpr qsizetype kPiece = 200;   // characters per piece without highlighting
constexpr int kWordsPerGroup = 20;  // a NUL makes the chip act after this many words

bool isGap(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char(' ') || c == QLatin1Char('\n');
}

const QString kNul(QChar(0));

} // namespace

QString GetNextSpeechChunk(SpeechCursor &c, bool phonemeMode)
{
    const QString s = c.SpeakBuffer.mid(c.SpeakPos - 1, kWindow);
    qsizetype i = 1;
    while (i <= s.size() && isGap(s[i - 1]))
        ++i;
    if (c.TrackPos == -1)
        c.TrackPos = c.SpeakPos + i - 1;
    qsizetype p = 0;
    if (phonemeMode) {
        p = s.indexOf(QLatin1String("   "), i - 1) + 1;
    } else {
        // Searched behind the word's first character, so a word that begins
        // with a hyphen is still a word and not an empty piece.
        p = s.indexOf(QLatin1Char(' '), i) + 1;
        qsizetype h = s.indexOf(QLatin1Char('-'), i) + 1;
        if (h > 0 && h < s.size() && s[h].isDigit())
            h = 0;
        if (h >= 1 && h < p)
            p = h;
    }
    const qsizetype q = s.indexOf(QLatin1String("\r\n"), i - 1) + 1;
    qsizetype L = 0;
    if (p == 0 && q == 0) {
        L = c.SpeakBuffer.size() - c.SpeakPos - i + 2;
        c.SpeakPos = c.SpeakBuffer.size() + 2;
    } else if (q != 0 && (p == 0 || p >= q)) {
        L = q - i + 1;
        c.SpeakPos += q + 1;
    } else {
        L = p - i;
        c.SpeakPos += p;
    }
    if (L <= 0)
        return {};
    return s.mid(i - 1, L);
}

QString SpeechResetCommand()
{
    return QStringLiteral("\r\x18");
}

QString SpeechModeCommands(bool phonemeMode, int modeIndex, bool useDict)
{
    if (phonemeMode)
        return CmdChar + QLatin1Char('d') + kNul;
    QString out = CmdChar + (modeIndex == 0 ? QLatin1Char('t') : QLatin1Char('c'));
    if (useDict)
        out += CmdChar + QLatin1Char('u');
    return out + kNul;
}

QString SpeechRequestCommand(int mode)
{
    if (mode == kPhoneticText)
        return CmdChar + QStringLiteral("10?");
    if (mode == kAudioSamples)
        return CmdChar + QStringLiteral("11?") + kNul;
    return {};
}

QString SpeechEndMarker()
{
    return QStringLiteral(" ,") + CmdChar + QStringLiteral("98i") + kNul;
}

SpeechPieces::SpeechPieces(const SpeakRequest &request) : mRequest(request)
{
    mCursor.SpeakBuffer = request.text;
    const qsizetype len = request.text.size();
    if (request.selLength == 0) {
        mCursor.SpeakPos = request.selStart + 1;
        mCursor.SpeakEnd = len;
        // A caret at or next to the end speaks the whole text.
        if (mCursor.SpeakPos >= mCursor.SpeakEnd)
            mCursor.SpeakPos = 1;
    } else {
        mCursor.SpeakPos = request.selStart + 1;
        mCursor.SpeakEnd = mCursor.SpeakPos + request.selLength - 1;
        mSelStart = request.selStart;
        mSelLength = request.selLength;
    }
    mSeparator = request.phonemeMode ? QStringLiteral("   ") : QStringLiteral(" ");
    if (request.highlight) {
        SpeechCursor probe = mCursor;
        (void)GetNextSpeechChunk(probe, request.phonemeMode);
        mTrackStart = probe.TrackPos;
    } else {
        QString range = request.text.mid(mCursor.SpeakPos - 1, mCursor.SpeakEnd - mCursor.SpeakPos + 1);
        mPlain = ApplyCommandCharacter(range, request.shortcut);
        ExpandHexEscapes(mPlain);
    }
}

std::optional<QString> SpeechPieces::next()
{
    if (mEnded)
        return std::nullopt;
    if (mNulDue) {
        mNulDue = false;
        mPending = false;
        return kNul;
    }
    if (auto piece = mRequest.highlight ? nextWord() : nextPiece())
        return piece;
    return end();
}

std::optional<QString> SpeechPieces::nextWord()
{
    if (mCursor.SpeakPos > mCursor.SpeakEnd)
        return std::nullopt;
    const QString raw = GetNextSpeechChunk(mCursor, mRequest.phonemeMode);
    if (raw.isEmpty()) {
        mCursor.SpeakPos = mCursor.SpeakEnd + 1;
        return std::nullopt;
    }
    const QString w = PrepareSpokenWord(raw, mRequest.shortcut);
    QString piece = mSeparator;
    if (mRequest.mode == kTrackSpeech && WordGetsMarker(w))
        piece += CmdChar + QStringLiteral("99i");
    piece += w;
    mPending = true;
    ++mWords;
    if (w.endsWith(QLatin1Char('\r')))
        mWords = 0;
    if (mWords == kWordsPerGroup) {
        mNulDue = true;
        mWords = 0;
    }
    return piece;
}

std::optional<QString> SpeechPieces::nextPiece()
{
    if (mPlainAt >= mPlain.size())
        return std::nullopt;
    const QString piece = mPlain.mid(mPlainAt, kPiece);
    mPlainAt += kPiece;
    mPending = true;
    return piece;
}

std::optional<QString> SpeechPieces::end()
{
    mEnded = true;
    if (mRequest.mode == kTrackSpeech)
        return SpeechEndMarker();
    // The chip acts on text only after a NUL, so the last words always get one.
    if (mPending)
        return kNul;
    return std::nullopt;
}
