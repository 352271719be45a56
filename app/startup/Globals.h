#pragma once

// The program-wide state lives in app/Globals.h.
#include "app/Globals.h"
