#pragma once

#include <QStringList>

class QApplication;

// Starts the main program in a created application: names it, installs the
// message boxes, runs the main window's start-up with the command line's
// arguments (after the program name) and then the event loop. Returns the
// exit code.
int RunVoxmere(QApplication &app, const QStringList &arguments);
