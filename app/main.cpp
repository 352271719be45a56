#include "app/startup/Globals.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voxmere"));
    vx::QtPrompter prompter;
    vx::setPrompter(&prompter);

    QMainWindow w;
    w.setObjectName(QStringLiteral("frmMDI"));
    w.setWindowTitle(QStringLiteral("Voxmere"));
    prompter.setParent(&w);
    w.show();
    return app.exec();
}
