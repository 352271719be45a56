#pragma once

// Bringing the serial link to the chip up, and keeping its speed right.

// Reads the preferences on the first run, sets up and opens the configured
// port, shakes hands with the chip (once more after a reset at 9600 baud),
// identifies the chip, offers a chipset update when its firmware is older
// than the images in Bin/, and stores the working port number. When no chip
// answers, the communication-error dialog offers the preferences, demo mode
// or quitting. Returns at once while a run is in progress.
void InitChipLink();

// Shows the preferences dialog for the port choice and waits until it is
// hidden. Returns true when the link must be set up again (port or speed
// changed, or no port chosen); the port is then closed. False when nothing
// changed; the port stays as it was.
bool EditPortPreferences();

// Waits 0.5 s, then switches the open port to 115200 baud for an audio
// transfer. The caller saves the port's Settings in SavedCommSettings first.
// Throws LinkError when the serial object refuses the change.
void SetCommFastBaud();
// Waits 0.1 s, then puts SavedCommSettings back on the port. When the serial
// object refuses them, the configured speed is set instead and the LinkError
// is thrown on.
void RestoreCommBaud();

// Compares the chip's firmware with the image pair for its board in Bin/ and
// offers to write the newer images. Returns true when the chip was written
// to (the caller then shakes hands and identifies again).
bool CheckChipsetUpdate();
// Whether a chipset update is being written: from the user's go-ahead to its
// end it must not be cut short.
[[nodiscard]] bool ChipsetUpdating();

// The identification after a successful handshake: refreshes the link's view
// of the chip and sets ModuleName, ChipSampleRate, IsOlderChip, ChipModel and
// DownloadTitle from it.
void IdentifyChip();
