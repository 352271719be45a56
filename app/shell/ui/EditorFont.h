#pragma once

#include <QFont>

// The one editor font of the main program, shared by the text boxes and grids
// of every text, dictionary and music score window; created on first use.
QFont &EditorFont();

// True while the preferences push a new editor font into the open windows.
inline bool FontLoading = false;
