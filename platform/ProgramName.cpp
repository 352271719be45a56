#include "platform/ProgramName.h"

namespace vx {

namespace {
QString &nameStore()
{
    static QString name;
    return name;
}
} // namespace

void setProgramName(const QString &name)
{
    nameStore() = name;
}

QString programName()
{
    return nameStore();
}

} // namespace vx
