// The download utility: without arguments its main window; with file paths
// (files dropped on its icon) it sends them to the chip and ends.
#include "tolvane/TaskQueue.h"
#include "tolvane/TolvanePrefs.h"
#include "tolvane/ui/frmMain.h"

#include "chipsim/SimBackend.h"
#include "link/SerialComm.h"
#include "platform/FileNames.h"
#include "platform/ProgramInfo.h"
#include "platform/ProgramName.h"
#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
#include "platform/SingleInstance.h"
#include "platform/StopSignals.h"
#include "platform/ui/StopHandler.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (vx::AnswerInfoRequest(
            argc, argv,
            QStringLiteral("Usage: Tolvane [FILE...]\n"
                           "Puts files into an SV3410 or SV3420 chip and manages its recording memory.\n"
                           "Without files it shows its window. With files (.bin, .dix, .grt, .pcm, .sfx)\n"
                           "it sends them to the chip one after the other and ends: with status 0 when\n"
                           "every file went in, 1 when any was skipped, refused, failed or cancelled.\n"
                           "  -h, --help   print this text and end\n"
                           "  --version    print the version and end"),
            tolv::appName() + QLatin1Char(' ') +
                tolv::versionToolTip(tolv::kVersionMajor, tolv::kVersionMinor, tolv::kVersionRevision)))
        return 0;
    QApplication app(argc, argv);
    // Ports are the machine's, named once for both programs: VOXMERE_COM<N>
    // and the workbench's "Ports" section; "sim" is the emulator.
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    chipsim::registerSimDevice();
    QApplication::setApplicationName(tolv::appName());
    vx::setProgramName(tolv::appName());
    // Paths are made absolute before start-up changes the current folder.
    // The bytes of a name that is not UTF-8 are kept (QApplication has taken
    // its own options out of argv).
    const std::optional<QStringList> names = vx::fileOperands(vx::fileArguments(argc, argv));
    if (!names)
        return 2; // an unknown option, answered on the terminal
    const QVector<tolv::QueueEntry> files = tolv::BuildQueue(*names);

    vx::SingleInstance instance(tolv::appName());
    if (!instance.isFirst() && files.isEmpty())
        return 0;

    vx::setProgramTitle(tolv::appName());
    frmMain window;
    vx::QtPrompter prompter(&window);
    vx::setPrompter(&prompter);
    // A logout, a closed terminal or Ctrl+C cancels the running task and
    // ends the program; a second one soon after ends it at once.
    vx::StopSignals stopSignals;
    vx::StopHandler onStop(stopSignals, window);
    const bool interactive = window.Form_Load(files);
    // A script tells from the status whether every file it gave went in.
    const int code = interactive ? QApplication::exec() : window.queueSentAll() ? 0 : 1;
    vx::setPrompter(nullptr);
    return code;
}
