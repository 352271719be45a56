#include "app/startup/ui/ProgramStart.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return RunVoxmere(app);
}
