#pragma once

// Compiling the active dictionary or music score window, checking one rule,
// and playing a score straight from its grid. Each compile writes the grid's
// rows to a temporary source in the program's temporary folder (one row a
// line, so a compiler's line number is the grid row) and removes it after.

#include <QString>

// Asks for the .dix file (then about typed characters that would compile
// as "?"), compiles the active dictionary window into it and reports: on
// success (with a chip configured) the offer to download it; on a bad rule
// the rule's row selected; on any other error its message.
void CompileDictionary();
// The same for the active music score window and its .tgx; no download.
void CompileMusicScore();
// True when a rule may stand: always with checking at compile time only,
// and for the section line "C"; else the dictionary compiler's check, which
// reports a bad rule unless blnSilent. A rule holding characters the code
// page lacks is first asked about (a No, or a silent check, fails it).
bool CheckDictionaryRule(const QString &Rule, bool blnSilent);
// Compiles the active music score window (asking first, as a compile does)
// into the temporary folder and plays it on the chip; the temporary folder
// is emptied afterwards.
void PlayMusicScore();

// The file a compile writes its source to: a new name in the temporary
// folder.
[[nodiscard]] QString TemporarySourcePath();
