#pragma once

// How a text is cut into what goes to the chip when it is spoken,
// transcribed or recorded, as plain code: the word splitter and the strings
// sent before, between and after the words. Positions count the CR LF form
// of the editor's text (vx::CrLfView).

#include <QString>

#include <optional>

// The splitter's state: the text, the next position to prepare (1-based),
// the last position to send, and where the highlight scan starts (-1 until
// the first word is prepared).
struct SpeechCursor
{
    QString SpeakBuffer;
    qsizetype SpeakPos = 1;
    qsizetype SpeakEnd = 0;
    qsizetype TrackPos = -1;
};

// The next word of SpeakBuffer at SpeakPos, advancing SpeakPos; "" when none
// is left. A word ending a line keeps its CR (the LF is skipped). In phoneme
// mode words end at three blanks; otherwise at a blank or at a hyphen that
// is not followed by a digit. Sets TrackPos to the first word's start.
[[nodiscard]] QString GetNextSpeechChunk(SpeechCursor &c, bool phonemeMode);

// What the speaking command needs to know about the chip and the window.
struct SpeakRequest
{
    int mode = 0;          // 0 speak, 1 phonetic transcription, 2 audio to a wave file
    QString text;          // the text box's text, CR LF line breaks
    qsizetype selStart = 0; // the selection in that text
    qsizetype selLength = 0;
    bool highlight = true;    // word by word with index markers
    bool phonemeMode = false; // the phonetic-output window, or the mode list on phonemes
    int modeIndex = 0;        // the control panel's mode list: 0 text, 1 phonemes, 2 character
    bool useDict = false;     // the dictionary check box is not clear
    QString shortcut;         // the typed command shortcut; "" or NUL is off
};

// Sent first: CR and CAN.
[[nodiscard]] QString SpeechResetCommand();
// The chip's mode before the words: text or character mode (and the
// dictionary), or phoneme mode; each ending in NUL.
[[nodiscard]] QString SpeechModeCommands(bool phonemeMode, int modeIndex, bool useDict);
// The request after the mode: nothing to speak, "10?" for the transcription,
// "11?" and NUL for the audio stream.
[[nodiscard]] QString SpeechRequestCommand(int mode);
// The end marker the chip answers with byte 98 once it has spoken all.
[[nodiscard]] QString SpeechEndMarker();

// The texts of one speaking request after the mode commands and the
// request, one SendToChip call each, produced on demand so that the sender
// can stop between any two.
class SpeechPieces
{
public:
    explicit SpeechPieces(const SpeakRequest &request);

    // The next text to send; nothing once all was given, the end included.
    [[nodiscard]] std::optional<QString> next();

    // Where the highlight scan starts (the first word's first character,
    // 1-based), and the user's selection to give back at the end.
    [[nodiscard]] qsizetype trackStart() const { return mTrackStart; }
    [[nodiscard]] qsizetype speakSelStart() const { return mSelStart; }
    [[nodiscard]] qsizetype speakSelLength() const { return mSelLength; }

private:
    std::optional<QString> nextWord();
    std::optional<QString> nextPiece();
    std::optional<QString> end();

    SpeakRequest mRequest;
    SpeechCursor mCursor;
    QString mSeparator;
    QString mPlain;              // the range prepared for sending without highlighting
    qsizetype mPlainAt = 0;
    int mWords = 0;              // words since the last NUL or line end
    bool mPending = false;       // text went out since the last NUL
    bool mNulDue = false;        // a 20th word was just sent
    bool mEnded = false;
    qsizetype mTrackStart = -1;
    qsizetype mSelStart = 0;
    qsizetype mSelLength = 0;
};
