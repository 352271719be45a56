#pragma once

// The user preferences of the main program. Their live values and saved
// copies live with the program-wide state (app/Globals.h); one table of keys
// serves loading, snapshot, restore and storing.

#include "app/Globals.h"

#include <QString>
#include <QStringList>

// The preferences' port list holds COM1 to COM32.
inline constexpr int kPortCount = 32;

// The speed list of the preferences: "1200" … "115200".
[[nodiscard]] const QStringList &BaudRateItems();
// The speed text for a 1-based BaudRate; out-of-range values give "115200".
[[nodiscard]] QString BaudRateText(int baudRate);

// Reads the preferences and notice flags (all but SV10DataFiles) from the
// settings store; a missing key or one that does not convert gives the default.
void LoadPreferences();
// Reads SV10DataFiles; its default is IsOlderChip.
void LoadSV10DataFiles();
// Every saved copy = its live value.
void SnapshotSettings();
// Every live value = its saved copy.
void RestoreSettings();
// Writes every preference but Port to the settings store.
void StorePreferences();
