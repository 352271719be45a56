#include "app/startup/ui/ProgramStart.h"
#include "chipsim/SimBackend.h"
#include "platform/FileNames.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // "sim" is the emulator; the program names itself in RunVoxmere.
    chipsim::registerSimDevice();
    // The arguments Qt left, with the bytes of a name that is not UTF-8 kept.
    return RunVoxmere(app, vx::fileArguments(argc, argv));
}
