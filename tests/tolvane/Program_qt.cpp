// The program as started from a shell: a second start without files ends
// at once; files on the command line are sent through svchip and arrive
// whole, and the program ends.
#include "tolvane/TolvanePrefs.h"

#include "chipsim/Chip.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "tests/support/Bytes.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString binary(const char *name) { return QString::fromLocal8Bit(qgetenv("VX_BIN_DIR")) + QLatin1Char('/') + QLatin1String(name); }

// The transfers the chip took, rebuilt from svchip's byte log: after each
// download query, the blocks up to the end block.
QList<QByteArray> transfers(const QByteArray &log, QByteArray *all)
{
    static const QRegularExpression line(QStringLiteral("^host -> chip @\\d+: ([0-9a-f]{2})$"));
    for (const QByteArray &l : log.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(l.trimmed()));
        if (m.hasMatch())
            all->append(char(m.captured(1).toInt(nullptr, 16)));
    }
    QList<QByteArray> files;
    for (qsizetype at = all->indexOf("\x01" "31?"); at >= 0; at = all->indexOf("\x01" "31?", at + 1)) {
        QByteArray file;
        qsizetype k = at + 8;
        while (k < all->size()) {
            const int block = quint8(all->at(k++));
            if (block == 0 || block == 255)
                break;
            file += all->mid(k, block);
            k += block;
        }
        files << file;
    }
    return files;
}

} // namespace

TEST(Program, SecondStartWithoutFilesEndsAtOnce)
{
    vx::SingleInstance first(tolv::appName());
    ASSERT_TRUE(first.isFirst());
    QProcess second;
    second.start(binary("Tolvane"), {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

TEST(Program, AFileThatDidNotGoInEndsWithStatusOne)
{
    // Nothing to send, so no chip is needed: the one file given is skipped.
    QProcess program;
    program.setWorkingDirectory(QString::fromStdString(vxtest::freshDir("skipped")));
    program.start(binary("Tolvane"), {QStringLiteral("notes.txt")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
}

TEST(Program, FilesOnTheCommandLineAreSentThroughTheSerialLine)
{
    QProcess chip;
    // The byte log is long: into a file, so a full pipe never stalls the chip.
    const QString log = QString::fromStdString(vxtest::freshDir("svchip")) + QStringLiteral("/log.txt");
    chip.setStandardErrorFile(log);
    chip.start(binary("svchip"), {QStringLiteral("--log")});
    ASSERT_TRUE(chip.waitForStarted(5000));
    ASSERT_TRUE(chip.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(chip.readLine()).trimmed();
    ASSERT_TRUE(device.startsWith(QStringLiteral("/dev/")));

    const QString folder = QString::fromStdString(vxtest::freshDir("drop"));
    QByteArray a = vxtest::kDictionaryHead, samples;
    for (int i = 0; i < 3000; ++i)
        a.append(char(i * 7));
    for (int i = 0; i < 5000; ++i)
        samples.append(char(i * 13 + 1));
    const QByteArray b = chipsim::makeMarkedPcm(78, 5, samples);
    for (const auto &[name, bytes] : {std::pair{"a.dix", a}, std::pair{"b.pcm", b}}) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    SaveSetting(tolv::appName(), QStringLiteral("Settings"), QStringLiteral("Port"), QStringLiteral("1"));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VOXMERE_COM1"), device);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder); // relative paths, as a shell gives them
    program.start(binary("Tolvane"), {QStringLiteral("a.dix"), QStringLiteral("b.pcm")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);

    chip.waitForFinished(500); // svchip reports the last bytes within 50 ms
    chip.kill();
    chip.waitForFinished(2000);
    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    QByteArray all;
    const QList<QByteArray> files = transfers(logFile.readAll(), &all);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0], a);
    EXPECT_EQ(files[1], b);
    EXPECT_TRUE(all.endsWith(QByteArray("\r\x01" "7h\0", 5))) << "the session ends on the chip";
}
