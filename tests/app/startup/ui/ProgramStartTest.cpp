// The built program itself, as the README's run command starts it: it comes
// up against the built-in chip and keeps running.
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <csignal>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

QProcessEnvironment programEnvironment(const QString &configHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.insert(QStringLiteral("VOXMERE_COM1"), QStringLiteral("sim"));
    return env;
}

QString program()
{
    return qEnvironmentVariable("VX_BIN_DIR") + QStringLiteral("/Voxmere");
}

QString iniPath(const QString &config)
{
    return config + QStringLiteral("/Voxmere/Voxmere.ini");
}

// A fresh configuration folder whose settings answer the start-up question
// already, so the program gets past it; empty when they cannot be written.
QString answeredConfig(const char *name)
{
    const QString config = QString::fromStdString(vxtest::freshDir(name));
    QDir().mkpath(config + QStringLiteral("/Voxmere"));
    QFile ini(iniPath(config));
    if (!ini.open(QIODevice::WriteOnly))
        return {};
    ini.write("[Settings]\nPort=1\nDisplayCompatQuery=False\n");
    return config;
}

// Starts the program with arguments and returns once it holds its lock in a
// private runtime folder: it takes it after its stop handling is in place.
// Fails, saying so, when the lock does not come.
void startUntilLocked(QProcess &voxmere, const QString &config, const char *runtimeName,
                      const QStringList &arguments)
{
    const QString runtime = QString::fromStdString(vxtest::freshDir(runtimeName));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = programEnvironment(config);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    voxmere.setProcessEnvironment(env);
    voxmere.setProcessChannelMode(QProcess::MergedChannels);
    voxmere.start(program(), arguments);
    ASSERT_TRUE(voxmere.waitForStarted(10000)) << "the program did not start";
    const QString lock = runtime + QStringLiteral("/Voxmere.lock");
    for (int i = 0; i < 400 && !QFile::exists(lock); ++i) {
        if (voxmere.waitForFinished(50))
            break;
    }
    ASSERT_TRUE(QFile::exists(lock)) << (voxmere.state() == QProcess::NotRunning
                                             ? "the program ended before it took its lock: "
                                             : "the program did not take its lock within 20 s: ")
                                     << voxmere.readAll().toStdString();
}

// Watches a file for reads by any process.
class ReadWatch
{
public:
    explicit ReadWatch(const QString &path)
        : mFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        mWatching = mFd >= 0 && ::inotify_add_watch(mFd, QFile::encodeName(path).constData(), IN_ACCESS) >= 0;
    }
    ~ReadWatch()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    ReadWatch(const ReadWatch &) = delete;
    ReadWatch &operator=(const ReadWatch &) = delete;

    [[nodiscard]] bool watching() const { return mWatching; }
    // Whether the file was read, waiting up to a minute while program runs.
    bool waitWhile(QProcess &program)
    {
        alignas(inotify_event) char events[4096];
        for (int i = 0; i < 1200; ++i) {
            if (::read(mFd, events, sizeof events) > 0)
                return true;
            if (program.waitForFinished(50))
                return false;
        }
        return false;
    }

private:
    int mFd;
    bool mWatching = false;
};

// After a stop signal the program ends with status 0 through its normal
// shutdown, which writes the window's place back.
void expectNormalEnd(QProcess &voxmere, const QString &config)
{
    if (!voxmere.waitForFinished(30000)) {
        voxmere.kill();
        voxmere.waitForFinished(5000);
        ADD_FAILURE() << "still running after the signal";
        return;
    }
    EXPECT_EQ(voxmere.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(voxmere.exitCode(), 0) << voxmere.readAll().toStdString();
    QFile ini(iniPath(config));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("MDIWidth")) << "no normal shutdown";
}

void startProgram(QProcess &voxmere, const QString &config)
{
    voxmere.setProcessEnvironment(programEnvironment(config));
    voxmere.setProcessChannelMode(QProcess::MergedChannels);
    voxmere.start(program(), {});
}

} // namespace

TEST(ProgramStart, TheProgramComesUpAgainstTheBuiltInChipAndStaysUp)
{
    ASSERT_TRUE(QFile::exists(program())) << program().toStdString();
    const QString config = answeredConfig("program-config");
    ASSERT_FALSE(config.isEmpty());

    QProcess voxmere;
    startProgram(voxmere, config);
    ASSERT_TRUE(voxmere.waitForStarted(10000));
    // The start-up (splash at least 2 s, handshake) runs; the program must
    // still be there afterwards, waiting for the user.
    EXPECT_FALSE(voxmere.waitForFinished(5000)) << voxmere.readAll().toStdString();
    EXPECT_EQ(voxmere.state(), QProcess::Running);
    voxmere.kill();
    voxmere.waitForFinished(5000);
}

TEST(ProgramStart, ATerminationSignalClosesTheProgramTheNormalWay)
{
    const QString config = answeredConfig("program-signal");
    ASSERT_FALSE(config.isEmpty());

    QProcess voxmere;
    startProgram(voxmere, config);
    ASSERT_TRUE(voxmere.waitForStarted(10000));
    ASSERT_FALSE(voxmere.waitForFinished(5000)) << voxmere.readAll().toStdString();
    voxmere.terminate(); // SIGTERM, as a logout sends
    ASSERT_TRUE(voxmere.waitForFinished(10000));
    EXPECT_EQ(voxmere.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(voxmere.exitCode(), 0);
    // The shutdown ran: the window's place was written back.
    QFile ini(iniPath(config));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("MDIWidth")) << "no geometry written";
}

// A stop signal ends the program from any state: here while an error box
// about the file named on the command line waits for an answer. The program
// reads that file once its window is up, and says at once that it is no
// sound library.
TEST(ProgramStart, AStopSignalEndsTheProgramWhileAnErrorBoxIsUp)
{
    const QString config = answeredConfig("program-error-box");
    ASSERT_FALSE(config.isEmpty());
    const QString junk = QString::fromStdString(vxtest::freshDir("program-error-box-file")) +
                         QStringLiteral("/not-a-library.sfl");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no sound library here\r\n");
    }
    ReadWatch read(junk);
    ASSERT_TRUE(read.watching());
    QProcess voxmere;
    ASSERT_NO_FATAL_FAILURE(startUntilLocked(voxmere, config, "program-error-box-run", {junk}));
    ASSERT_TRUE(read.waitWhile(voxmere))
        << (voxmere.state() == QProcess::NotRunning
                ? "the program ended before its window came up (a failed handshake?): "
                : "the program's window did not come up to the file named on its command line: ")
        << voxmere.readAll().toStdString();
    voxmere.terminate();
    expectNormalEnd(voxmere, config);
}

// Started under nohup, or as a background job, the program goes on ignoring
// a hang-up and an interrupt; a TERM still ends it the normal way.
TEST(ProgramStart, AHangUpAndAnInterruptIgnoredFromTheStartStayIgnored)
{
    const QString config = answeredConfig("program-nohup");
    ASSERT_FALSE(config.isEmpty());
    QProcess voxmere;
    voxmere.setChildProcessModifier([] {
        ::signal(SIGHUP, SIG_IGN);
        ::signal(SIGINT, SIG_IGN);
        ::signal(SIGTERM, SIG_DFL);
    });
    ASSERT_NO_FATAL_FAILURE(startUntilLocked(voxmere, config, "program-nohup-run", {}));
    for (const int sig : {SIGHUP, SIGINT, SIGTERM})
        ::kill(pid_t(voxmere.processId()), sig);
    expectNormalEnd(voxmere, config);
}

// Asked for their usage or version, both programs print it and end, without
// a window and without a display.
TEST(ProgramStart, HelpAndVersionPrintAndEnd)
{
    const struct
    {
        const char *program;
        const char *option;
        const char *begins;
    } cases[] = {
        {"Voxmere", "--help", "Usage: Voxmere [FILE]\n"},
        {"Voxmere", "--version", "Voxmere Version 1.00.0000\n"},
        {"Tolvane", "-h", "Usage: Tolvane [FILE...]\n"},
        {"Tolvane", "--version", "Tolvane Version 2.00."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.option);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-at-all"));
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("VX_BIN_DIR") + QLatin1Char('/') + QLatin1String(c.program),
                {QLatin1String(c.option)});
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "still running";
            continue;
        }
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardOutput().startsWith(c.begins));
    }
}

// The usage says where a sound file from the command line plays: as the
// preview preference says, not always on the chip.
TEST(ProgramStart, UsageSaysWhereSoundFilesPlay)
{
    QProcess p;
    p.start(program(), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QByteArray usage = p.readAllStandardOutput();
    EXPECT_TRUE(usage.contains("the port, .dix, .sfx, .grt and .tgx go to the chip, and .pcm, .wav and .mp3\n"
                               "play on the PC or on the chip, as the sound preview preference says.\n"))
        << usage.constData();
}

// An argument that looks like an option but is none is answered on the
// terminal, in both programs; "--" and a lone "-" still give names.
TEST(ProgramStart, UnknownOptionsAreAnsweredOnTheTerminal)
{
    const struct
    {
        const char *program;
        QStringList arguments;
        int status;
        const char *said; // what standard error begins with
    } cases[] = {
        {"Voxmere", {QStringLiteral("-v")}, 2, "Voxmere: unknown option '-v'\nUsage: Voxmere [FILE]\n"},
        {"Voxmere", {QStringLiteral("--foo")}, 2, "Voxmere: unknown option '--foo'\nUsage: Voxmere [FILE]\n"},
        {"Tolvane", {QStringLiteral("--foo")}, 2, "Tolvane: unknown option '--foo'\nUsage: Tolvane [FILE...]\n"},
        {"Tolvane", {QStringLiteral("a.txt"), QStringLiteral("-x")}, 2, "Tolvane: unknown option '-x'\n"},
        // Files that are no chip's: skipped, so the queue ends with 1.
        {"Tolvane", {QStringLiteral("--"), QStringLiteral("-x.txt")}, 1, ""},
        {"Tolvane", {QStringLiteral("-")}, 1, ""},
        // Qt's own options are Qt's.
        {"Tolvane", {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("a.txt")}, 1, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments.join(QLatin1Char(' ')).toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(vxtest::freshDir("options")));
        p.start(qEnvironmentVariable("VX_BIN_DIR") + QLatin1Char('/') + QLatin1String(c.program), c.arguments);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "still running";
            continue;
        }
        EXPECT_EQ(p.exitCode(), c.status);
        const QByteArray said = p.readAllStandardError();
        if (*c.said)
            EXPECT_NE(said.indexOf(c.said), -1) << said.toStdString();
        else
            EXPECT_FALSE(said.contains("unknown option")) << said.toStdString();
    }
}
