#pragma once

// The list of the eight most recently used document files, kept in the
// settings store (section "Recent Files", keys "RecentFile1" newest to
// "RecentFile8", filled from 1 without gaps). Every routine reads the store
// afresh. Also the choice of what opening a file does, by its name and head.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

inline constexpr int kMaxRecentFiles = 8;

// The path stored under "RecentFile" & n, or "".
[[nodiscard]] QString RecentFile(int n);
// The stored paths, newest first.
[[nodiscard]] QStringList RecentFiles();
// True when path is one of the stored values, compared exactly (case too).
[[nodiscard]] bool IsRecentFile(const QString &path);
// Shifts the list down one place (the eighth entry is lost) and stores path
// as the newest.
void PushRecentFile(const QString &path);
// Pushes path unless it is listed already, where it keeps its place.
void AddRecentFilePath(const QString &path);
// Moves entry n to the top; the entries above it move down one place.
void MoveRecentFileToTop(int n);
// Removes entry n; the later entries close up. Returns the number of entries
// there were before (the key that was deleted).
int RemoveRecentFile(int n);

// Menu texts for entry k: "&3 notes.txt" in the File menu, "3 - notes.txt"
// in the Open button's menu; the file part as stored, an "&" in it doubled
// so that the menu shows it.
[[nodiscard]] QString RecentMenuCaption(int k, const QString &path);
[[nodiscard]] QString RecentButtonText(int k, const QString &path);

// What opening a file does, by the last four characters of its name.
enum class OpenAction {
    None,
    SoundLib,
    Dictionary,
    Music,
    Text,
    DownloadDictionary,
    DownloadSoundLibrary,
    DownloadGreeting,
    PlayMusic,
    PlaySound,
};
[[nodiscard]] OpenAction OpenActionFor(const QString &path);
// Whether the action needs a chip (it does nothing in demo mode).
[[nodiscard]] bool NeedsChip(OpenAction action);
// The window a recent entry opens in, by its head and then its name: a
// sound library whatever the name when the first value is "KWLIB", else a
// dictionary, music score or text by the name.
[[nodiscard]] OpenAction DocumentKindFor(const QString &path, QByteArrayView head);
