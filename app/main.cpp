#include "app/startup/ui/ProgramStart.h"
#include "chipsim/SimBackend.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // "sim" is the emulator; the program names itself in RunVoxmere.
    chipsim::registerSimDevice();
    return RunVoxmere(app);
}
