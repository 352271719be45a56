#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cantorel {

// Lower case (Windows-1252 letters, never the locale) with every blank removed;
// tabs and other white space stay.
[[nodiscard]] std::string normaliseLine(std::string_view line);

// Splits text into lines at CR LF, LF or CR. A final line end adds no empty
// line; an empty text has no lines.
[[nodiscard]] std::vector<std::string> splitLines(std::string_view text);

// The leading decimal number of a text (sign, digits, fraction, exponent),
// 0 when the text does not begin with one.
[[nodiscard]] double leadingNumber(std::string_view text);

// Compiles score lines into the chip's tone stream. One object keeps the
// state that carries from line to line; compileScore starts it afresh.
class ScoreCompiler
{
public:
    // Most lines that replays may compile in one score.
    static constexpr std::size_t kMaxReplayedLines = std::size_t{1} << 22;
    // Most characters that replays may compile in one score (each can add
    // an event, so this bounds the stream as well).
    static constexpr std::size_t kMaxReplayedText = std::size_t{1} << 24;
    // Largest score source read: more text than replays may compile.
    static constexpr std::uintmax_t kMaxSourceBytes = kMaxReplayedText;

    ScoreCompiler();

    // Compiles a whole score (raw lines, normalised here). Returns true and
    // the complete compiled stream in bytes(); false with errorCode(),
    // errorMessage() and errorLine() set. An empty list compiles to no bytes.
    bool compileScore(const std::vector<std::string> &lines);

    // Compiles one line in the state left by the last score (or the fresh
    // state). Outside a score nothing is written and no part is defined, so
    // a replay line fails. Returns whether the line is valid; on false the
    // error code and message are set.
    bool compileMeasure(std::string_view line);

    [[nodiscard]] const std::vector<std::uint8_t> &bytes() const { return mOut; }
    [[nodiscard]] int errorCode() const { return mErrCode; }
    [[nodiscard]] const std::string &errorMessage() const { return mErrMessage; }
    [[nodiscard]] int errorLine() const { return mErrLine; }

    [[nodiscard]] int volume() const { return mVolume; }
    [[nodiscard]] int tempo() const { return mTempo; }
    [[nodiscard]] int transposition() const { return mTranspose; }
    [[nodiscard]] const std::string &key() const { return mKey; }

private:
    // What a voice keeps from note to note for the whole score.
    struct VoiceMemory
    {
        int lastTicks = 0;     // 0: no duration given yet
        bool lastDotted = false;
        int triplets = 0;      // notes left in the current triplet
    };

    // A voice within one note line.
    struct VoiceLine
    {
        std::string text;
        std::size_t pos = 0;
        int remaining = 0;
        int divisor = 0;
        int pendingRest = 0;   // rest that a "," or '"' mark left behind
    };

    void reset();
    void setError(int code, int voice = 0);
    bool compileLine(std::size_t index);
    bool compileNormalised(const std::string &line);
    bool replayPart(const std::string &line);
    bool compileNotes(const std::string &line);
    bool parseVoices(const std::string &line, std::array<VoiceLine, 3> &voices);
    bool parseNote(int voice, VoiceLine &v);
    void writeEvent(int ticks, const std::array<VoiceLine, 3> &voices);
    void write(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);

    int mVolume = 255;
    int mTempo = 86;
    int mTranspose = 0;
    std::string mKey;
    bool mSettingsWritten = false;
    std::array<VoiceMemory, 3> mVoices{};

    int mErrCode = 0;
    std::string mErrMessage;
    int mErrLine = 0;

    std::vector<std::string> mLines;        // normalised score lines
    std::vector<bool> mReplaying;           // per line: label of a part being replayed
    std::size_t mReplayedLines = 0;
    std::size_t mReplayedText = 0;
    bool mRunaway = false;                  // the replay bound stopped the compile
    bool mWriting = false;
    std::vector<std::uint8_t> mOut;
};

} // namespace cantorel
