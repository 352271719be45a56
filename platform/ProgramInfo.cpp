#include "platform/ProgramInfo.h"

#include "platform/FileNames.h"

#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace vx {

namespace {

// What AnswerInfoRequest was given, for the answer to an unknown option.
struct CommandLineText
{
    QString program;
    QString usage;
};

CommandLineText &commandLineText()
{
    static CommandLineText text;
    return text;
}

} // namespace

bool AnswerInfoRequest(int argc, char **argv, const QString &usage, const QString &version)
{
    if (argc > 0)
        commandLineText() = {QFileInfo(fileNameFromBytes(argv[0])).fileName(), usage};
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

std::optional<QStringList> fileOperands(const QStringList &arguments)
{
    QStringList names;
    bool options = true;
    for (const QString &a : arguments) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            const CommandLineText &text = commandLineText();
            const QByteArray said = fileNameBytes(text.program) + ": unknown option '" + fileNameBytes(a) + "'\n" +
                                    text.usage.toLocal8Bit() + '\n';
            std::fputs(said.constData(), stderr);
            return std::nullopt;
        } else {
            names << a;
        }
    }
    return names;
}

} // namespace vx
