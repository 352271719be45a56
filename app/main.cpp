#include "app/startup/MainWindowRules.h"
#include "app/startup/Version.h"
#include "app/startup/ui/ProgramStart.h"
#include "chipsim/SimBackend.h"
#include "platform/FileNames.h"
#include "platform/ProgramInfo.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (vx::AnswerInfoRequest(
            argc, argv,
            QStringLiteral("Usage: Voxmere [FILE]\n"
                           "The workbench for the SV3410 and SV3420 text-to-speech chips.\n"
                           "FILE opens in a window of its kind (.txt, .dic, .sfl, .tgn). With a chip on\n"
                           "the port, .dix, .sfx, .grt and .tgx go to the chip, and .pcm, .wav and .mp3\n"
                           "play on the PC or on the chip, as the sound preview preference says.\n"
                           "The port COMn is the device named by VOXMERE_COMn; \"sim\" is the built-in\n"
                           "chip emulator.\n"
                           "  -h, --help   print this text and end\n"
                           "  --version    print the version and end"),
            QStringLiteral("Voxmere ") +
                mainwin::splashVersionText(vx::kVersionMajor, vx::kVersionMinor, vx::kVersionRevision)))
        return 0;
    QApplication app(argc, argv);
    // "sim" is the emulator; the program names itself in RunVoxmere.
    chipsim::registerSimDevice();
    // The arguments Qt left, with the bytes of a name that is not UTF-8 kept;
    // an unknown option is answered on the terminal instead.
    const std::optional<QStringList> files = vx::fileOperands(vx::fileArguments(argc, argv));
    return files ? RunVoxmere(app, *files) : 2;
}
