#include "app/startup/Receive.h"

#include "app/startup/Globals.h"
#include "app/startup/SendPath.h"
#include "common/PhonemeCodes.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr unsigned char kEndMarker = 98;
constexpr unsigned char kIndexMarker = 99;
constexpr unsigned char kCommandBracket = 253;
constexpr qsizetype kScanWidth = 200;

bool isGap(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char(' ') || c == QLatin1Char('\n');
}

bool isRecordingEnd(unsigned char b)
{
    return b == 5 || b == 8 || b == 13 || b == 14;
}

} // namespace

QString PrepareSpokenWord(QString word, const QString &shortcut)
{
    ExpandHexEscapes(word);
    return ApplyCommandCharacter(word, shortcut);
}

bool WordGetsMarker(const QString &preparedWord)
{
    if (!preparedWord.contains(CmdChar))
        return true;
    if (preparedWord.contains(QLatin1Char('*')) || preparedWord.contains(QLatin1Char('j')) ||
        preparedWord.contains(QLatin1Char('J')))
        return true;
    for (qsizetype at = preparedWord.indexOf(CmdChar); at >= 0; at = preparedWord.indexOf(CmdChar, at + 1)) {
        if (preparedWord.mid(at, 7).contains(QLatin1Char('&')))
            return true;
    }
    return false;
}

QString ConvertChipCodesToPhonemes(QByteArrayView piece, PhonemeConverterState &state)
{
    QString out;
    for (qsizetype k = 0; k < piece.size(); ++k) {
        const auto b = static_cast<unsigned char>(piece[k]);
        if (b == kCommandBracket) {
            state.InCommand = !state.InCommand;
            state.HexArguments = false;
            out += state.InCommand ? QStringLiteral("\\01") : QStringLiteral(" ");
            continue;
        }
        if (state.InCommand) {
            if (state.HexArguments) {
                out += QLatin1Char('\\') + HexByte(b);
                continue;
            }
            out += QLatin1Char(static_cast<char>(b));
            // A tone command's three argument bytes are raw values.
            if ((b == 'J' || b == 'j') && k + 4 < piece.size() &&
                static_cast<unsigned char>(piece[k + 4]) == kCommandBracket)
                state.HexArguments = true;
            continue;
        }
        QString shown;
        if (b == ' ' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || std::string_view(".,'/\\+-").find(static_cast<char>(b)) != std::string_view::npos)
            shown = QLatin1Char(static_cast<char>(b));
        else if (b == '(')
            shown = QStringLiteral("<");
        else if (b == ')')
            shown = QStringLiteral(">");
        else if (const auto name = vx::phonemeNameFor(static_cast<char>(b)); name && b < 128)
            shown = QString::fromLatin1(name->data(), name->size());
        else
            continue; // neither kept nor a phoneme: dropped
        // Digit runs stay together.
        if (b >= '0' && b <= '9' && out.size() >= 2 && out.back() == QLatin1Char(' ') && out[out.size() - 2].isDigit()) {
            while (out.endsWith(QLatin1Char(' ')))
                out.chop(1);
        }
        out += shown.toLower() + QLatin1Char(' ');
    }
    return out;
}

void ChipReceiver::begin(int commMode)
{
    mState.CommMode = commMode;
    if (commMode == kPhoneticText)
        mState.converter = {};
}

void ChipReceiver::beginSpeaking(qsizetype trackPos, qsizetype selStart, qsizetype selLength)
{
    mState.TrackPos = trackPos;
    mState.SpeakSelStart = selStart;
    mState.SpeakSelLength = selLength;
}

ReceiveEffects ChipReceiver::take(QByteArrayView bytes, const SpokenText &spoken)
{
    ReceiveEffects fx;
    switch (mState.CommMode) {
    case kTrackSpeech:
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (b == kIndexMarker) {
                if (auto sel = HighlightScan(spoken))
                    fx.select = sel;
            } else if (b == kEndMarker) {
                fx.stopEvents = true;
                fx.speakingEnded = true;
                fx.select = TextSelection{mState.SpeakSelLength != 0 ? mState.SpeakSelStart : spoken.crlf.size(),
                                          mState.SpeakSelLength};
                break; // no events follow the end marker
            }
        }
        break;
    case kPhoneticText:
        fx.phonetic = ConvertChipCodesToPhonemes(bytes, mState.converter);
        break;
    case kAudioSamples:
        fx.audio = bytes.toByteArray();
        break;
    case kRecordingStatus:
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (isRecordingEnd(b)) {
                fx.stopEvents = true;
                fx.stopRequested = true;
            }
            if (b != kEndMarker)
                mState.LastStatusByte = b;
            fx.statusBytes.append(c);
        }
        break;
    default:
        break;
    }
    return fx;
}

std::optional<TextSelection> ChipReceiver::HighlightScan(const SpokenText &spoken)
{
    const QString &T = spoken.crlf;
    const qsizetype len = T.size();
    std::optional<TextSelection> shown;
    for (;;) {
        // A stray index byte before the first word has nothing to select.
        if (mState.TrackPos < 1)
            return shown;
        const QString s = T.mid(mState.TrackPos - 1, kScanWidth);
        qsizetype i = 1;
        while (i <= s.size() && isGap(s[i - 1]))
            ++i;
        qsizetype p = 0;
        if (spoken.phonemeMode) {
            p = s.indexOf(QLatin1String("   "), i - 1) + 1;
        } else {
            p = s.indexOf(QLatin1Char(' '), i) + 1;
            qsizetype h = s.indexOf(QLatin1Char('-'), i) + 1;
            if (h > 0 && h < s.size() && s[h].isDigit())
                h = 0;
            if (h >= 1 && h < p)
                p = h;
        }
        const qsizetype q = i - 1 < s.size() ? s.indexOf(QLatin1String("\r\n"), i - 1) + 1 : 0;
        qsizetype L = 0;
        const qsizetype before = mState.TrackPos;
        if (p == 0 && q == 0) {
            L = len - mState.TrackPos - i + 2;
            mState.TrackPos = len + 2;
        } else if (q != 0 && (p == 0 || p >= q)) {
            L = q - i;
            mState.TrackPos += q;
        } else {
            L = p - i;
            mState.TrackPos += p;
        }
        const qsizetype start = std::clamp<qsizetype>(mState.TrackPos - L - 2, 0, len);
        const qsizetype length = std::clamp<qsizetype>(L, 0, len - start);
        shown = TextSelection{start, length};
        const QString word = T.mid(start, length);
        if (mState.TrackPos == before || WordGetsMarker(PrepareSpokenWord(word, spoken.shortcut)))
            return shown;
    }
}

bool QuietLine::ended(qint64 nowMs, qsizetype waiting)
{
    if (waiting != mCount) {
        mCount = waiting;
        mSince = nowMs;
        return false;
    }
    return nowMs - mSince >= kQuietMs;
}
