#pragma once

// The user preferences of the main program. Each has a live value, which the
// program reads, and a saved copy (…Saved) that the preferences dialog takes
// when it is shown and after Apply, and puts back on Cancel. Port (0 = demo
// mode) and CommandChar live with the link globals in Globals.h; their saved
// copies are here.

#include "app/startup/Globals.h"

#include <QString>
#include <QStringList>

inline bool DfltPCMEnc = true;
inline bool DfltPCMEncSaved = true;
inline int AudioPlayer = 1; // 0 the chip, 1 the PC
inline int AudioPlayerSaved = 1;
inline int AudioView = 0; // 0 list, 1 table
inline int AudioViewSaved = 0;
inline int AudioDblClk = 0; // 0 preview, 1 edit
inline int AudioDblClkSaved = 0;
inline QString AudioEditor = QStringLiteral("/usr/bin/audacity");
inline QString AudioEditorSaved = QStringLiteral("/usr/bin/audacity");
inline bool GrtCtls = false;
inline bool GrtCtlsSaved = false;
inline bool Highlight = true;
inline bool HighlightSaved = true;
inline bool TblAltColor = true;
inline bool TblAltColorSaved = true;
inline int PortSaved = 0;
inline int BaudRate = 8; // 1-based item of BaudRateItems(): 8 = 115200
inline int BaudRateSaved = 8;
inline int DictCharSet = 1; // 0 code page 437, 1 ISO 8859-1
inline int DictCharSetSaved = 1;
inline int DictSynCk = 0; // 0 automatic, 1 at compile time
inline int DictSynCkSaved = 0;
inline QString CommandCharSaved = QStringLiteral("~");
inline bool DisplaySV10Warning = true; // notice flags: no saved copy
inline bool DisplayCompatQuery = true;
inline bool SV10DataFiles = false;
inline bool SV10DataFilesSaved = false;
inline QString FontName; // editor font, read by the preferences dialog
inline QString FontNameSaved;
inline QString FontSize;
inline QString FontSizeSaved;

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
