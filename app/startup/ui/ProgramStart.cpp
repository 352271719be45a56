#include "app/startup/ui/ProgramStart.h"

#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/QtPrompter.h"
#include "platform/StopSignals.h"
#include "platform/ui/StopHandler.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

int RunVoxmere(QApplication &app, const QStringList &arguments)
{
    ResetGlobals();
    QApplication::setApplicationName(mainwin::appName());
    // Every window's, and the desktop's, unless a window has its own.
    QApplication::setWindowIcon(images::programIcon());
    vx::QtPrompter prompter;
    vx::setPrompter(&prompter);

    // The shell has split the command line; one path may have held blanks.
    const QString commandLine = mainwin::commandLineOf(arguments, QDir::currentPath());

    int code = 0;
    {
        frmMDI main;
        // A logout, a closed terminal or Ctrl+C ends the program as File > Exit
        // does, from any state; a second one soon after ends it at once.
        vx::StopSignals stopSignals;
        vx::StopHandler onStop(stopSignals, main);
        // Dialogs that close during the start-up (the splash, the link's
        // questions) must not end the program before its window is up.
        QApplication::setQuitOnLastWindowClosed(false);
        // Until the window has its place, messages centre on the screen
        // rather than on a window nobody sees.
        if (main.MDIForm_Load(commandLine)) {
            prompter.setParent(&main);
            QApplication::setQuitOnLastWindowClosed(true);
            code = app.exec();
        }
        prompter.setParent(nullptr);
    }
    vx::setPrompter(nullptr);
    return code;
}
