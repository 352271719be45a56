#include "app/startup/ui/ProgramStart.h"
#include "chipsim/SimBackend.h"
#include "link/SerialComm.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The ports are named by Voxmere's settings, and "sim" is the emulator.
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    chipsim::registerSimDevice();
    return RunVoxmere(app);
}
