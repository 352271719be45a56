#include "components/cantorel/ScoreCompiler.h"

#include "components/cantorel/ScoreTables.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace cantorel {

namespace {

// Halves go to the even neighbour (default rounding mode), as everywhere in
// the system.
double roundHalfEven(double x)
{
    return std::nearbyint(x);
}

// Lower case of a Windows-1252 character, whatever the locale.
char lowerCase1252(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char>(c + 0x20);
    switch (c) {
    case 0x8A: return static_cast<char>(0x9A);  // S caron
    case 0x8C: return static_cast<char>(0x9C);  // OE
    case 0x8E: return static_cast<char>(0x9E);  // Z caron
    case 0x9F: return static_cast<char>(0xFF);  // Y diaeresis
    default: return ch;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string normaliseLine(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    for (char c : line) {
        if (c == ' ')
            continue;
        out.push_back(lowerCase1252(c));
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

double leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsFrom = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0.0;
    const char *first = text.data() + digitsFrom;
    const auto [ptr, ec] = std::from_chars(first, text.data() + i, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

ScoreCompiler::ScoreCompiler()
{
    reset();
}

void ScoreCompiler::reset()
{
    mVolume = 255;
    mTempo = 86;
    mTranspose = 0;
    mKey.clear();
    mSettingsWritten = false;
    mVoices = {};
    mErrCode = 0;
    mErrMessage.clear();
    mErrLine = 0;
}

void ScoreCompiler::setError(int code, int voice)
{
    mErrCode = code;
    mErrMessage = cantorel::errorMessage(code, voice);
}

bool ScoreCompiler::compileScore(const std::vector<std::string> &lines)
{
    reset();
    mOut.clear();
    mLines.clear();
    mLines.reserve(lines.size());
    for (const std::string &l : lines)
        mLines.push_back(normaliseLine(l));
    mReplaying.assign(mLines.size(), false);
    mReplayedLines = 0;
    mReplayedText = 0;
    mRunaway = false;
    if (mLines.empty())
        return true;

    mWriting = true;
    mOut.assign(kTgxHeader.begin(), kTgxHeader.end());
    bool ok = true;
    for (std::size_t i = 0; i < mLines.size() && ok; ++i) {
        ok = compileLine(i);
        // A runaway of replays has no single faulty line: name the score's own line.
        if (!ok && mRunaway)
            mErrLine = static_cast<int>(i) + 1;
    }
    mWriting = false;
    mLines.clear();
    mReplaying.clear();
    if (!ok) {
        mOut.clear();
        return false;
    }
    mOut.insert(mOut.end(), kTgxClosing.begin(), kTgxClosing.end());
    return true;
}

bool ScoreCompiler::compileMeasure(std::string_view line)
{
    mErrCode = 0;
    mErrMessage.clear();
    mErrLine = 0;
    const bool ok = compileNormalised(normaliseLine(line));
    if (!ok && mErrCode == 0)
        setError(emrSyntaxError);
    return ok;
}

bool ScoreCompiler::compileLine(std::size_t index)
{
    if (compileNormalised(mLines[index]))
        return true;
    // The innermost failing line is reported: inside a replayed part that is
    // the part's own line, which is where the fault is written.
    if (mErrCode == 0)
        setError(emrSyntaxError);
    if (mErrLine == 0)
        mErrLine = static_cast<int>(index) + 1;
    return false;
}

bool ScoreCompiler::compileNormalised(const std::string &s)
{
    if (s.empty() || s[0] == ';')
        return true;

    if (s[0] == '<' || s[0] == '>') {
        const double n = roundHalfEven(leadingNumber(std::string_view(s).substr(1)));
        if (!(std::fabs(n) <= 32767.0)) {
            setError(emrSyntaxError);
            return false;
        }
        mTranspose = static_cast<int>(s[0] == '<' ? -n : n);
        return true;
    }

    if (s[0] == 'k') {
        const auto key = keySignature(std::string_view(s).substr(1));
        if (!key) {
            setError(emrInvalidKey);
            return false;
        }
        mKey = *key;
        return true;
    }

    if (s.size() >= 2 && s[1] == '=' && (s[0] == 'v' || s[0] == 't')) {
        const bool isVolume = s[0] == 'v';
        mSettingsWritten = false;
        const double n = roundHalfEven(leadingNumber(std::string_view(s).substr(2)));
        const double top = isVolume ? 255.0 : 65535.0;
        if (!(n >= 1.0 && n <= top)) {
            setError(isVolume ? emrInvalidVolume : emrInvalidTempo);
            return false;
        }
        (isVolume ? mVolume : mTempo) = static_cast<int>(n);
        return true;
    }

    if (s[0] == 'p' && s.size() == 2)
        return true;  // part label; its lines follow and compile in place

    if (s.size() >= 3 && s[2] == 'r')
        return replayPart(s);

    return compileNotes(s);
}

bool ScoreCompiler::replayPart(const std::string &s)
{
    // Two characters of the writer's choice, "r", and the part's character;
    // anything behind that is a misspelt replay, not something to ignore.
    if (s.size() != 4) {
        setError(emrPartNotFound);
        return false;
    }
    const std::string label = std::string("p") + s[3];
    std::size_t at = 0;
    while (at < mLines.size() && mLines[at] != label)
        ++at;
    // A label on the last line has no body: there is nothing to replay.
    if (at + 1 >= mLines.size()) {
        setError(emrPartNotFound);
        return false;
    }
    // A part that is already being replayed would replay itself for ever.
    if (mReplaying[at]) {
        setError(emrPartNotFound);
        return false;
    }
    mReplaying[at] = true;
    bool ok = true;
    for (std::size_t i = at + 1; ok && i < mLines.size(); ++i) {
        if (!mLines[i].empty() && mLines[i][0] == 'p')
            break;
        // Parts that replay other parts several times grow exponentially;
        // past this much replayed text the compile would never finish, or
        // would run out of memory.
        mReplayedText += mLines[i].size();
        if (++mReplayedLines > kMaxReplayedLines || mReplayedText > kMaxReplayedText) {
            mRunaway = true;
            setError(emrPartNotFound);
            ok = false;
            break;
        }
        ok = compileLine(i);
    }
    mReplaying[at] = false;
    return ok;
}

bool ScoreCompiler::compileNotes(const std::string &s)
{
    if (!mSettingsWritten) {
        write(0, static_cast<std::uint8_t>(mVolume), static_cast<std::uint8_t>(mTempo & 0xFF),
              static_cast<std::uint8_t>(mTempo >> 8));
        mSettingsWritten = true;
    }

    std::array<VoiceLine, 3> voices;
    if (!parseVoices(s, voices))
        return false;

    int last = 0;
    for (;;) {
        for (int k = 0; k < 3; ++k) {
            VoiceLine &v = voices[static_cast<std::size_t>(k)];
            if (v.remaining > 0)
                v.remaining -= last;
            if (v.remaining == 0 && !parseNote(k, v))
                return false;
        }
        int shortest = 0;
        for (const VoiceLine &v : voices) {
            if (v.remaining > 0 && (shortest == 0 || v.remaining < shortest))
                shortest = v.remaining;
        }
        if (shortest == 0)
            return true;
        last = shortest;
        writeEvent(last, voices);
    }
}

bool ScoreCompiler::parseVoices(const std::string &s, std::array<VoiceLine, 3> &voices)
{
    const std::string t = s + "v";
    std::size_t p = t.find('v');
    while (p != std::string::npos && p + 1 < t.size()) {
        const char c = t[p + 1];
        if (c < '1' || c > '3') {
            setError(emrInvalidVoice);
            return false;
        }
        const auto k = static_cast<std::size_t>(c - '1');
        // A voice named again in the line starts its text over.
        const std::size_t next = t.find('v', p + 2);
        voices[k].text = t.substr(p + 2, next - (p + 2));
        p = next;
    }
    for (const VoiceLine &v : voices) {
        if (!v.text.empty())
            return true;
    }
    return false;
}

bool ScoreCompiler::parseNote(int voice, VoiceLine &v)
{
    VoiceMemory &m = mVoices[static_cast<std::size_t>(voice)];
    const std::string &t = v.text;
    const int number = voice + 1;

    if (v.pendingRest > 0) {
        v.remaining = v.pendingRest;
        v.divisor = 0;
        v.pendingRest = 0;
        return true;
    }
    if (v.pos >= t.size()) {
        v.remaining = 0;
        v.divisor = 0;
        return true;
    }

    // Duration: a letter (with "." dotted or ":" triplet behind it), or the
    // voice's last duration when the note has none.
    int ticks = durationTicks(t[v.pos]);
    bool dotted = false;
    if (ticks > 0) {
        ++v.pos;
        if (v.pos < t.size() && t[v.pos] == '.') {
            dotted = true;
            ++v.pos;
        } else if (v.pos < t.size() && t[v.pos] == ':') {
            m.triplets = 3;
            ++v.pos;
        }
        // 2-tick notes never carry: the rest a '"' mark leaves behind is one.
        if (ticks > 2) {
            m.lastTicks = ticks;
            m.lastDotted = dotted;
        }
    } else {
        if (m.lastTicks == 0) {
            setError(emrInvalidNoteDuration, number);
            return false;
        }
        ticks = m.lastTicks;
        dotted = m.lastDotted;
    }
    if (dotted)
        ticks = static_cast<int>(roundHalfEven(ticks * 1.5));

    // The note: "$" rest, or letter, accidental, octave.
    if (v.pos >= t.size()) {
        setError(emrInvalidNote, number);
        return false;
    }
    int index = 0;
    if (t[v.pos] == '$') {
        ++v.pos;
    } else {
        const char letter = t[v.pos++];
        char accidental = 0;
        if (v.pos < t.size() && (t[v.pos] == '#' || t[v.pos] == '&' || t[v.pos] == '%'))
            accidental = t[v.pos++];
        if (v.pos >= t.size() || !isDigit(t[v.pos]) || letter < 'a' || letter > 'g') {
            setError(emrInvalidNote, number);
            return false;
        }
        const int octave = t[v.pos++] - '0';
        if (accidental == 0 && !mKey.empty() && mKey.find(letter, 1) != std::string::npos)
            accidental = mKey[0];
        const auto idx = noteIndex(letter, accidental, octave);
        if (!idx) {
            setError(emrInvalidNote, number);
            return false;
        }
        index = transpose(*idx, mTranspose);
    }

    if (m.triplets > 0) {
        ticks = static_cast<int>(roundHalfEven(ticks * 2.0 / 3.0));
        --m.triplets;
    }

    // Marks: '"' leaves a 2-tick rest behind the note, "," splits it into a
    // note and a rest; note and rest together keep the note's length.
    if (v.pos < t.size() && t[v.pos] == '"') {
        if (ticks - 2 < 1) {
            setError(emrInvalidNoteDuration, number);
            return false;
        }
        v.pendingRest = 2;
        ticks -= 2;
        ++v.pos;
    } else if (v.pos < t.size() && t[v.pos] == ',') {
        const int half = ticks / 2;
        if (half < 1) {
            setError(emrInvalidNoteDuration, number);
            return false;
        }
        v.pendingRest = ticks - half;
        ticks = half;
        ++v.pos;
    }

    v.remaining = ticks;
    v.divisor = toneDivisor(index);
    return true;
}

void ScoreCompiler::writeEvent(int ticks, const std::array<VoiceLine, 3> &voices)
{
    // The duration byte holds at most 255 ticks; a longer event goes out as
    // several with the same tones, which the chip plays as one held chord.
    while (ticks > 0) {
        const int part = ticks > 255 ? 255 : ticks;
        write(static_cast<std::uint8_t>(part), static_cast<std::uint8_t>(voices[0].divisor),
              static_cast<std::uint8_t>(voices[1].divisor), static_cast<std::uint8_t>(voices[2].divisor));
        ticks -= part;
    }
}

void ScoreCompiler::write(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    if (!mWriting)
        return;
    mOut.push_back(a);
    mOut.push_back(b);
    mOut.push_back(c);
    mOut.push_back(d);
}

} // namespace cantorel
