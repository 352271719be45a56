// The word list of a 300 MB file of random bytes, made in the dictionary
// window as the program makes it: prints the process's peak resident memory
// (goal: under 512 MB), the unique words listed and the time. The file is
// written at run time into the temporary folder (300 MB of disk) and removed.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmDictionary.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <random>
#include <vector>

#include <sys/resource.h>

namespace {

double peakMegabytes()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    constexpr qint64 kBytes = 300LL * 1024 * 1024;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("random.txt"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        std::mt19937_64 rng(7);
        std::vector<quint64> block(128 * 1024);
        for (qint64 written = 0; written < kBytes; written += qint64(block.size() * sizeof(quint64))) {
            for (quint64 &v : block)
                v = rng();
            if (f.write(reinterpret_cast<const char *>(block.data()), qint64(block.size() * sizeof(quint64))) < 0)
                return 1;
        }
    }

    ResetGlobals();
    ResetDocuments();
    RegisterDictionaryDocuments();
    vx::ScriptedPrompter prompter;
    prompter.setLenient(true);
    auto *w = qobject_cast<frmDictionary *>(NewDocument(vx::WindowKind::Dictionary));
    if (!w)
        return 1;
    const double before = peakMegabytes();
    QElapsedTimer timer;
    timer.start();
    w->CreateWordList(path);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double peak = peakMegabytes();
    std::printf("word list of 300 MB of random bytes in the dictionary window: peak resident %.0f MB "
                "(%.0f MB before the list; goal < 512 MB), %d unique words listed, %.1f s\n",
                peak, before, w->lvwWordList->topLevelItemCount(), seconds);
    ResetDocuments();
    return peak < 512.0 ? 0 : 2;
}
