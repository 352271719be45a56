#include "app/startup/ui/ProgramStart.h"

#include "app/startup/MainWindowRules.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QStringList>

int RunVoxmere(QApplication &app)
{
    QApplication::setApplicationName(mainwin::appName());
    vx::setProgramTitle(mainwin::appName());
    vx::QtPrompter prompter;
    vx::setPrompter(&prompter);

    // The shell has split the command line; one path may have held blanks.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));

    int code = 0;
    {
        frmMDI main;
        prompter.setParent(&main);
        if (main.MDIForm_Load(commandLine))
            code = app.exec();
        prompter.setParent(nullptr);
    }
    vx::setPrompter(nullptr);
    return code;
}
