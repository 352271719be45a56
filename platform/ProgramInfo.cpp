#include "platform/ProgramInfo.h"

#include <cstdio>
#include <cstring>

namespace vx {

bool AnswerInfoRequest(int argc, char **argv, const QString &usage, const QString &version)
{
    if (argc < 2)
        return false;
    const char *first = argv[1];
    QString text;
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0)
        text = usage;
    else if (std::strcmp(first, "--version") == 0)
        text = version;
    else
        return false;
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputs("\n", stdout);
    return true;
}

} // namespace vx
