#pragma once

// Whole-file reads and writes for tests, a full disk and a settings folder
// that cannot be written, on demand.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace vxtest {

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The help file shipped beside the programs ("Voxmere" or "Tolvane"), and
// whether it holds the section a help topic number opens.
inline QByteArray shippedHelpFile(const char *program)
{
    return readAll(qEnvironmentVariable("VX_BIN_DIR") + QStringLiteral("/Docs/") + QLatin1String(program) +
                   QStringLiteral("_Help.html"));
}
inline bool hasHelpTopic(const QByteArray &html, int topic)
{
    return html.contains("id=\"topic" + QByteArray::number(topic) + '"');
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Writes bytes to dir + name and returns that path.
inline QString writeFileIn(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir + name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return dir + name;
}

// The bytes this process has read through read calls so far (the kernel's
// count), or -1 where the system does not tell.
inline qint64 bytesReadByProcess()
{
    QFile f(QStringLiteral("/proc/self/io"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// The text of a PDF file, laid out as printed. Ligatures the installed fonts
// may use ("fi" as one glyph) come back as their letters.
inline QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// Runs f while no file may grow past limit bytes: a full disk, also for root
// (SIGXFSZ ignored, so writes fail with EFBIG). Limit and handler come back
// afterwards.
template <class F>
void onFullDisk(rlim_t limit, F &&f)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old;
    lim.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lim);
    f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

// While it lives, the configuration folder is a fresh one where a file
// stands in the place of app's settings folder: every write of app's
// settings fails ("Not a directory"), for root too.
class BlockedSettings
{
public:
    explicit BlockedSettings(const QString &app)
        : mOld(qgetenv("XDG_CONFIG_HOME"))
    {
        const QString home = QString::fromStdString(freshDir("blocked-config"));
        writeAll(home + QLatin1Char('/') + app, "not a folder");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
        file = home + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
    }
    ~BlockedSettings() { qputenv("XDG_CONFIG_HOME", mOld); }
    BlockedSettings(const BlockedSettings &) = delete;
    BlockedSettings &operator=(const BlockedSettings &) = delete;

    QString file; // where app's settings would be

private:
    QByteArray mOld;
};

} // namespace vxtest
