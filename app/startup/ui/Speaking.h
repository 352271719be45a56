#pragma once

// Speaking a window's text on the chip with the spoken word highlighted,
// its phonetic transcription, and the Play, Pause and Stop commands with the
// toolbar's two play buttons. The words and commands come from
// SpeechPieces, the chip's answers go through the ChipReceiver.

#include "app/startup/Receive.h"

#include <QString>

class TextBox;

// Sends the active window's text or selection for the receive mode (0 speak,
// 1 phonetic transcription, 2 audio to a wave file): CR and CAN, the chip's
// mode, the request, then the words (or 200-character pieces without
// highlighting) and the closing marker. Returns when all is sent, or at once
// on a stop request; nothing while the control panels refresh.
void SpeakText(int mode);

// The Play command of the active window: the tone generator's command box,
// a recording from the recording memory, or the text read aloud. While
// something runs it stops.
void PlayTextOrRecording();
// Reads the active window's text aloud, after its transcription when the
// phonetic-output window is shown, and waits until the chip has spoken it.
void ReadTextAloud();
// Asks the chip for the transcription of the active text and appends it,
// ended by a line break, to the phonetic-output window.
void GetPhoneticOutput();

// Halts the chip (CAN written at once, unsent output dropped), ends
// speaking and gives the user's selection back; the line speed returns after
// an audio stream.
void StopChipOutput();
// Pause: the caret stays on the word being spoken, so Play goes on there.
void PauseSpeaking();
// Stop: while a recording or sound plays only asks it to stop; otherwise
// pauses and puts the caret at the start.
void StopPlayback();

// The speaking keys of the text and phonetic windows' boxes, by character
// code: Ctrl+P (16) plays or pauses, Ctrl+S (19) stops. True when the key
// ran one of them. (Ctrl+R is the text window's own: it records once.)
bool SpeakingKeyPress(QChar key);

// Character code of a Ctrl+letter key, as the boxes receive it; 0 for others.
QChar ControlCharacter(int key, Qt::KeyboardModifiers modifiers);

// Waits until the chip's stream has been quiet for half a second (no change
// in the waiting byte count), yielding meanwhile. Returns false when a stop
// request ended the wait first.
bool WaitForQuietLine();

// What one read of the chip's reply asks of the windows: the highlight, the
// end of speaking, the phonetic output, the recorded samples.
void ApplyReceiveEffects(const ReceiveEffects &fx);
// The active window's text as the receiver counts it.
[[nodiscard]] SpokenText SpokenTextOfActive();

// The text box of the window in a slot (0 the control panels' command box,
// 1 the phonetic output, from 2 the documents); null when none.
[[nodiscard]] TextBox *TextBoxOf(int slot);
// Whether the phonetic-output window is the active child.
[[nodiscard]] bool PhoneticWindowActive();
// The control panels' mode list (0 text, 1 phonemes, 2 character) and
// whether the chip's dictionary is to be used.
[[nodiscard]] int PanelModeIndex();
[[nodiscard]] bool PanelUseDict();
