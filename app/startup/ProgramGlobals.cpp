#include "app/Globals.h"

#include "platform/ProgramName.h"

void ResetGlobals()
{
    G = ProgramGlobals{};
    vx::setProgramName(QLatin1String(kAppName));
}
