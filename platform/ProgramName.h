#pragma once

#include <QString>

namespace vx {

// Each program names itself once at start ("Voxmere", "Tolvane"). The layers
// below the program know no name of their own: its settings file, temporary
// folder, help file and message titles follow the name given here.
void setProgramName(const QString &name);
[[nodiscard]] QString programName();

} // namespace vx
