#pragma once

#include <QString>

// The per-user settings store: named text values by program, section and key,
// one INI file per program under the user's configuration folder
// ($XDG_CONFIG_HOME/<AppName>/<AppName>.ini).

// The stored text, or Default when the key is missing.
[[nodiscard]] QString GetSetting(const QString &AppName, const QString &Section, const QString &Key,
                                 const QString &Default = QString());
// Stores Setting as text; returns false (and the cause in *error) when the
// store could not be written, and the file then holds what it held before.
// A key that holds Setting already is not written again, so that succeeds
// even where the file cannot be written.
bool SaveSetting(const QString &AppName, const QString &Section, const QString &Key, const QString &Setting,
                 QString *error = nullptr);
// Removes one key, or the whole section when Key is empty.
void DeleteSetting(const QString &AppName, const QString &Section, const QString &Key = QString());

namespace vx {

// Stored text to typed values. A value that does not convert reads as the
// default instead of failing.
[[nodiscard]] bool settingToBool(const QString &text, bool def);
[[nodiscard]] int settingToInt(const QString &text, int def);
[[nodiscard]] double settingToDouble(const QString &text, double def);
// "True"/"False", as the store keeps Booleans.
[[nodiscard]] QString boolToSetting(bool value);

// Typed reads and writes of one key.
[[nodiscard]] bool readBool(const QString &app, const QString &section, const QString &key, bool def);
[[nodiscard]] int readInt(const QString &app, const QString &section, const QString &key, int def);
[[nodiscard]] QString readText(const QString &app, const QString &section, const QString &key, const QString &def);
bool writeBool(const QString &app, const QString &section, const QString &key, bool value);
bool writeInt(const QString &app, const QString &section, const QString &key, int value);

// Stores a value that the user chose. When it cannot be stored, the first
// such failure of the run tells the user the file and the cause; the later
// ones say nothing more. Returns whether it was stored.
bool saveChosenSetting(const QString &app, const QString &section, const QString &key, const QString &value);
bool saveChosenBool(const QString &app, const QString &section, const QString &key, bool value);
bool saveChosenInt(const QString &app, const QString &section, const QString &key, int value);
// The next failure tells the user again (tests: each case is a run).
void resetSettingsNotice();

// Path of the INI file that holds a program's settings.
[[nodiscard]] QString settingsFilePath(const QString &app);

} // namespace vx
