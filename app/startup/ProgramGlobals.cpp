#include "app/Globals.h"

#include "link/SerialComm.h"
#include "platform/ProgramName.h"

void ResetGlobals()
{
    G = ProgramGlobals{};
    vx::setProgramName(QLatin1String(kAppName));
    SerialComm::setProgramName(QLatin1String(kAppName));
}
