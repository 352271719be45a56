#pragma once

// Opening document files into windows of their kind, handing the chip's
// files to the download and play routines, and the recent-file list in the
// File menu and the Open button's menu. A file that is missing, unreadable
// or malformed gets one message; no window is left behind and the recent
// list does not change.

#include <QString>

// Each opens path into a new window of its kind, or brings the window that
// has it open to the front. A text file longer than 400000 bytes is opened
// only when the user agrees to load its first 400K; a sound library must
// begin with "KWLIB". The path joins the recent-file list.
void OpenTextFile(const QString &path);
void OpenSoundLibFile(const QString &path);
void OpenDictionaryFile(const QString &path);
void OpenMusicFile(const QString &path);

// Chooses by the last four characters of the name: the four document kinds,
// the compiled files to download and the sounds to play (these only with a
// chip; in demo mode they do nothing). Other names are refused with
// CouldNotLoad.
void OpenFileByType(const QString &path);
// Tells the user that path is of a kind the program does not open.
void CouldNotLoad(const QString &path);

// Opens entry n (1 to 8) of the recent-file list and moves it to the top. An
// entry whose file is gone leaves the list and is reported.
void OpenRecentFile(int n);
// Opens path in the window its head and name call for (used by the recent list).
void OpenDocumentFile(const QString &path);

// Adds path to the list unless it is there already; refreshes the menus.
void AddRecentFile(const QString &path);
// Shows the stored entries in the File menu and the Open button's menu.
void UpdateRecentFileMenu();
