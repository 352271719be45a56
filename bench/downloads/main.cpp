// A 256 KB chip PCM file downloaded through the program's download command into
// the in-process chip, whose bytes (framing included) take their time on a
// 115200-baud line (8N1: 11520 bytes a second) and which stores them at that
// pace too, answering once all is stored. Prints the time from the command
// to its closing message as a ratio to the line time of the file's bytes:
// what the link's framing and waits cost on top; and the processor time the
// whole process spent meanwhile, chip emulator included, as a share of it,
// and how often the link's waits woke for each block it sent.

#include "app/Globals.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    ResetGlobals();
    SerialComm::setProgramName(QStringLiteral("Voxmere"));
    qputenv("VOXMERE_COM1", "sim");
    chipsim::Chip *chip = chipsim::simulatedChip(1);
    constexpr double kLineBytesPerSecond = 115200.0 / 10.0;
    chipsim::ChipConfig cfg = chip->config();
    cfg.storeBytesPerSecond = kLineBytesPerSecond;
    cfg.transferLineTime = true;
    chip->setConfig(cfg);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pcm"));
    // A chip PCM file in its plain form: the 24-bit data length, the rate
    // code of 8000 Hz, then the samples.
    constexpr int kBytes = 256 * 1024;
    QByteArray data;
    for (int shift : {0, 8, 16})
        data.append(char(((kBytes - 4) >> shift) & 0xFF));
    data.append(char(78));
    QRandomGenerator gen(11);
    while (data.size() < kBytes)
        data.append(char(gen.bounded(256)));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return 1;
    f.close();

    vx::ScriptedPrompter prompter;
    frmMDI main;
    cTolvane link;
    QObject::connect(&link, &cTolvane::PercentDone, &main, &frmMDI::cTolv_PercentDone, Qt::DirectConnection);
    cTolv = &link;
    Comm = link.GetCommObject();
    Comm->setCommPort(1);
    Comm->setSettings(QStringLiteral("115200,N,8,1"));
    Comm->setDTREnable(true);
    Comm->setPortOpen(true);
    Comm->setOutput(QByteArray("\r\x18"));
    Port = 1;
    DownloadTitle = QStringLiteral("SV3420 Download");

    prompter.queue(vx::Answer::Ok);
    chip->clearLogs();
    const quint64 wakeUpsBefore = Comm->wakeUps();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    DownloadFile(path);
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const bool ok = chip->lastDownload() == data;
    const double line = double(data.size()) / kLineBytesPerSecond;
    const auto blocks = double(std::max<qsizetype>(1, chip->writeLog().size()));
    std::printf("256 KB download at 115200 baud: %.2f s, line time %.2f s, ratio %.3f (goal <= 1.05); "
                "processor time %.2f s (%.1f %% of the download; goal < 10 %%), %.1f wake-ups of the link's "
                "waits a block%s\n",
                seconds, line, seconds / line, cpu, 100.0 * cpu / seconds,
                double(Comm->wakeUps() - wakeUpsBefore) / blocks,
                ok ? "" : "  FAILED: the chip does not hold the file");
    Comm->setPortOpen(false);
    cTolv = nullptr;
    Comm = nullptr;
    return ok ? 0 : 1;
}
