#pragma once

// What the chip sends back while a request runs, read without windows: the
// four receive modes, the word-highlight scan and the phoneme-code converter.
// The window's CommEvent handler feeds each read to ChipReceiver::take and
// applies the effects it returns.

#include "platform/TextFiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A selection in the spoken text's CR LF form (zero-based).
struct TextSelection
{
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextSelection &, const TextSelection &) = default;
};

// The same selection in the editor's own text (LF line breaks).
[[nodiscard]] inline TextSelection EditorSelection(const vx::CrLfView &view, TextSelection crlf)
{
    const qsizetype start = view.toEditorOffset(crlf.start);
    return {start, view.toEditorOffset(crlf.start + crlf.length) - start};
}

// The text being spoken, as the scan counts it.
struct SpokenText
{
    QString crlf;             // the window's text with CR LF line breaks
    bool phonemeMode = false; // words are three blanks apart
    QString shortcut;         // the typed command shortcut; "" or NUL is off
};

// Receive modes, set by each sender before its request.
enum CommModes { kTrackSpeech = 0, kPhoneticText = 1, kAudioSamples = 2, kRecordingStatus = 3 };

// Whether a prepared word (hex escapes expanded, shortcut applied) is sent
// behind an index marker. Sender and scan both ask this, so the highlight
// cannot fall out of step with the markers. A word holding a command gets no
// marker unless it holds "*", "j" or "J", or "&" within the seven characters
// that begin at one of its command characters.
[[nodiscard]] bool WordGetsMarker(const QString &preparedWord);

// The raw word as it goes to the chip: hex escapes, then the shortcut.
[[nodiscard]] QString PrepareSpokenWord(QString word, const QString &shortcut);

// The converter's memory between pieces: a command split between two reads
// stays one command.
struct PhonemeConverterState
{
    bool InCommand = false;
    bool HexArguments = false;
};

// The chip's phonetic output as display text: each phoneme as its lower-case
// name and a blank, words three blanks apart, commands as "\01" and their
// characters. Updates `state` for the next piece.
[[nodiscard]] QString ConvertChipCodesToPhonemes(QByteArrayView piece, PhonemeConverterState &state);

// What one read of the chip's reply asks of the windows.
struct ReceiveEffects
{
    std::optional<TextSelection> select; // focus the text box and select this (last one wins)
    bool speakingEnded = false;          // end marker: Busy := False
    bool stopEvents = false;             // RThreshold := 0
    bool stopRequested = false;          // a recording status byte ended the recording
    QString phonetic;                    // append to the phonetic output
    QByteArray audio;                    // append to the wave file being recorded
    QByteArray statusBytes;              // every recording status byte, in order of arrival
};

// The receive state the senders set and the waits read back. Held by the
// receiver so that no global is needed; the window layer mirrors
// LastStatusByte and StopRequested into its own flags from the effects.
struct ReceiveState
{
    int CommMode = kTrackSpeech;
    qsizetype TrackPos = -1; // 1-based start of the next scan in the CR LF text
    qsizetype SpeakSelStart = 0;
    qsizetype SpeakSelLength = 0;
    int LastStatusByte = 0;
    PhonemeConverterState converter;
};

class ChipReceiver
{
public:
    // A new request: sets the mode; a phonetic request starts outside any
    // command, so a transcription cut short cannot garble the next one.
    void begin(int commMode);
    // Speaking starts: where the first word begins and the user's selection.
    void beginSpeaking(qsizetype trackPos, qsizetype selStart, qsizetype selLength);

    // Acts on one read by CommMode. Every byte of a read is handled, in order.
    [[nodiscard]] ReceiveEffects take(QByteArrayView bytes, const SpokenText &spoken);

    [[nodiscard]] ReceiveState &state() { return mState; }
    [[nodiscard]] const ReceiveState &state() const { return mState; }

private:
    // The next word from TrackPos; words that carry a command and no marker
    // are passed over. Nothing while no word was prepared yet.
    [[nodiscard]] std::optional<TextSelection> HighlightScan(const SpokenText &spoken);

    ReceiveState mState;
};

// Decides when a stream from the chip has ended: 0.5 s with no change in the
// number of waiting bytes. Times are milliseconds of a monotonic clock.
class QuietLine
{
public:
    static constexpr qint64 kQuietMs = 500;
    explicit QuietLine(qint64 nowMs, qsizetype waiting) : mSince(nowMs), mCount(waiting) {}
    // True once the count has not changed for kQuietMs.
    [[nodiscard]] bool ended(qint64 nowMs, qsizetype waiting);

private:
    qint64 mSince;
    qsizetype mCount;
};
