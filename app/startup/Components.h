#pragma once

// The component objects (cSonv, DicCompiler, MusicCompiler) live with the
// program-wide state in app/Globals.h.
#include "app/Globals.h"
