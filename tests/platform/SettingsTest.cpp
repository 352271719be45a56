#include "platform/IniFile.h"
#include "platform/Settings.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>

namespace {
const QString kApp = QStringLiteral("VoxmereSettingsTest");
const QString kSection = QStringLiteral("Settings");
} // namespace

TEST(Settings, RoundTripsTextNumbersAndBooleansIntoTheTestsOwnFolder)
{
    ASSERT_TRUE(SaveSetting(kApp, kSection, QStringLiteral("AudioEditor"), QStringLiteral("/usr/bin/audacity")));
    ASSERT_TRUE(vx::writeInt(kApp, kSection, QStringLiteral("BaudRate"), 6));
    ASSERT_TRUE(vx::writeBool(kApp, kSection, QStringLiteral("Highlight"), false));

    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("AudioEditor")), QStringLiteral("/usr/bin/audacity"));
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("BaudRate")), QStringLiteral("6"));
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("Highlight")), QStringLiteral("False"));
    EXPECT_EQ(vx::readInt(kApp, kSection, QStringLiteral("BaudRate"), 8), 6);
    EXPECT_FALSE(vx::readBool(kApp, kSection, QStringLiteral("Highlight"), true));
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("Missing"), QStringLiteral("dflt")), QStringLiteral("dflt"));

    const QString file = vx::settingsFilePath(kApp);
    EXPECT_TRUE(file.startsWith(QString::fromStdString(vxtest::isolateEnvironment()))) << file.toStdString();
    EXPECT_TRUE(QFileInfo::exists(file));

    DeleteSetting(kApp, kSection, QStringLiteral("BaudRate"));
    EXPECT_EQ(vx::readInt(kApp, kSection, QStringLiteral("BaudRate"), 8), 8);
}

TEST(Settings, ValuesThatDoNotConvertReadAsTheirDefault)
{
    SaveSetting(kApp, kSection, QStringLiteral("MDILeft"), QStringLiteral("abc"));
    SaveSetting(kApp, kSection, QStringLiteral("TblAltColor"), QStringLiteral("maybe"));
    EXPECT_EQ(vx::readInt(kApp, kSection, QStringLiteral("MDILeft"), 1234), 1234);
    EXPECT_TRUE(vx::readBool(kApp, kSection, QStringLiteral("TblAltColor"), true));

    EXPECT_TRUE(vx::settingToBool(QStringLiteral("true"), false));
    EXPECT_TRUE(vx::settingToBool(QStringLiteral("-1"), false));
    EXPECT_FALSE(vx::settingToBool(QStringLiteral("0"), true));
    EXPECT_EQ(vx::settingToInt(QStringLiteral(" -20000 "), 0), -20000);
    EXPECT_EQ(vx::settingToInt(QStringLiteral("99999999999"), 7), 7);
    EXPECT_EQ(vx::settingToInt(QStringLiteral("2.5"), 0), 2);
}

TEST(Settings, DeletingASectionRemovesEveryKey)
{
    SaveSetting(kApp, QStringLiteral("Recent Files"), QStringLiteral("RecentFile1"), QStringLiteral("/a.txt"));
    SaveSetting(kApp, QStringLiteral("Recent Files"), QStringLiteral("RecentFile2"), QStringLiteral("/b, c.txt"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Recent Files"), QStringLiteral("RecentFile2")), QStringLiteral("/b, c.txt"));
    DeleteSetting(kApp, QStringLiteral("Recent Files"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")), QString());
}

TEST(Settings, ASaveThatFailsPartWayLeavesTheOldFileWholeAndSaysSo)
{
    const QString app = QStringLiteral("VoxmereSettingsFull");
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(SaveSetting(app, kSection, QStringLiteral("Key%1").arg(i), QString(100, QLatin1Char('a' + i % 26))));
    const QString file = vx::settingsFilePath(app);
    const QByteArray before = vxtest::readAll(file);
    ASSERT_GT(before.size(), 6000);

    // Room for 4 KB of the new file only, as on a nearly full disk.
    const std::string saved = vxtest::inChildWithFileLimit(4096, [&] {
        return SaveSetting(app, kSection, QStringLiteral("New"), QStringLiteral("value")) ? "saved" : "refused";
    });
    EXPECT_EQ(saved, "refused");
    EXPECT_EQ(vxtest::readAll(file), before);
    EXPECT_EQ(GetSetting(app, kSection, QStringLiteral("Key59")), QString(100, QLatin1Char('a' + 59 % 26)));
    EXPECT_EQ(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
}

// Where the file cannot be written, a value that has not changed is not
// written again, so nothing fails; a change that fails says what the system
// said of the lock file it could not create.
TEST(Settings, AnUnchangedValueIsNotWrittenAndAFailureNamesTheSystemsCause)
{
    const QString app = QStringLiteral("VoxmereSettingsHeld");
    ASSERT_TRUE(SaveSetting(app, kSection, QStringLiteral("Port"), QStringLiteral("1")));
    const QByteArray before = vxtest::readAll(vx::settingsFilePath(app));
    {
        QLockFile held(vx::settingsFilePath(app) + QStringLiteral(".lock")); // another program writes
        ASSERT_TRUE(held.lock());
        QString why;
        EXPECT_TRUE(SaveSetting(app, kSection, QStringLiteral("Port"), QStringLiteral("1"), &why)) << why.toStdString();
        DeleteSetting(app, kSection, QStringLiteral("Missing"));
    }
    EXPECT_EQ(vxtest::readAll(vx::settingsFilePath(app)), before);

    // A folder that takes no new file (here one of the kernel's).
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    const std::string home = vxtest::freshDir("no-new-files");
    std::filesystem::create_directory_symlink("/proc", home + "/" + app.toStdString());
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home));
    const QByteArray lock = QFile::encodeName(vx::settingsFilePath(app)) + ".lock";
    errno = 0;
    ASSERT_LT(::open(lock.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), 0);
    const QString cause = QString::fromLocal8Bit(std::strerror(errno));
    QString why;
    EXPECT_FALSE(SaveSetting(app, kSection, QStringLiteral("Port"), QStringLiteral("2"), &why));
    qputenv("XDG_CONFIG_HOME", oldHome);
    EXPECT_EQ(why, cause);
}

// A line the store cannot read a key from, edited in by hand, stays as it
// stood through a save; an open quote stays last, where it takes in nothing.
TEST(Settings, LinesThatNameNoKeySurviveASave)
{
    const QString app = QStringLiteral("VoxmereSettingsKept");
    const QString file = vx::settingsFilePath(app);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    const QByteArray lines[] = {
        "///=slashes", "  \\\\=backslashes ; noted", "=no key", "a//b=x", "/a=x", "no equals sign", "\xFF\xFE bytes", "[]",
    };
    for (const QByteArray &line : lines) {
        SCOPED_TRACE(line.constData());
        vxtest::writeAll(file, "[Settings]\nA=1\n" + line + "\nB=2\n");
        ASSERT_TRUE(SaveSetting(app, kSection, QStringLiteral("C"), QStringLiteral("3")));
        EXPECT_EQ(vxtest::readAll(file), "[Settings]\nA=1\n" + line + "\nB=2\nC=3\n");
    }
    vxtest::writeAll(file, "[Settings]\nA=1\nopen \"quote");
    ASSERT_TRUE(SaveSetting(app, kSection, QStringLiteral("C"), QStringLiteral("3")));
    EXPECT_EQ(vxtest::readAll(file), "[Settings]\nA=1\nC=3\nopen \"quote");
    EXPECT_EQ(GetSetting(app, kSection, QStringLiteral("C")), QStringLiteral("3"));
}

namespace {

// What the store read from a value before it read its files itself.
QString storedText(const QVariant &v)
{
    if (!v.isValid())
        return QStringLiteral("<missing>");
    return v.metaType().id() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
}

} // namespace

// Files written by the store before, or by hand, read as they always did;
// a file the store wrote comes back byte for byte.
TEST(Settings, FilesWrittenEarlierReadTheSameAndKeepTheirForm)
{
    const QString app = QStringLiteral("VoxmereSettingsForm");
    const QString file = vx::settingsFilePath(app);
    const QList<std::pair<QString, QString>> values = {
        {QStringLiteral("Settings/AudioEditor"), QStringLiteral("/usr/bin/a b, c;d=e")},
        {QStringLiteral("Settings/Blank"), QString()},
        {QStringLiteral("Settings/Spaces"), QStringLiteral("  both ends  ")},
        {QStringLiteral("Settings/Quotes"), QStringLiteral("say \"hi\" \\ back\\slash")},
        {QStringLiteral("Settings/Controls"), QStringLiteral("tab\there\nline\x01" "2\x7f")},
        {QStringLiteral("Settings/At"), QStringLiteral("@Invalid()")},
        {QStringLiteral("Settings/Nul"), QStringLiteral("a") + QChar(0) + QStringLiteral("1")},
        {QStringLiteral("Settings/Wide"), QStringLiteral("caf\u00e9 \u00a7 \u20ac \U0001F600")},
        {QStringLiteral("Recent Files/RecentFile1"), QStringLiteral("/home/u/Caf\u00e9 %20.txt")},
        {QStringLiteral("Ports/COM1"), QStringLiteral("sim")},
        {QStringLiteral("Odd k\u00e9y%/Sub"), QStringLiteral("x")},
        {QStringLiteral("TopLevel"), QStringLiteral("z")},
    };
    {
        QSettings old(file, QSettings::IniFormat);
        for (const auto &[key, value] : values)
            old.setValue(key, value);
        old.sync();
        ASSERT_EQ(old.status(), QSettings::NoError);
    }
    const QByteArray written = vxtest::readAll(file);
    EXPECT_EQ(vx::buildIni(vx::parseIni(written)), written);
    for (const auto &[key, value] : values) {
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        if (slash > 0) {
            EXPECT_EQ(GetSetting(app, key.left(slash), key.mid(slash + 1), QStringLiteral("<missing>")), value)
                << key.toStdString();
        }
    }

    // A change keeps every other key as the store reads it.
    ASSERT_TRUE(SaveSetting(app, QStringLiteral("Ports"), QStringLiteral("COM1"), QStringLiteral("/dev/ttyUSB0")));
    const QString copy = QFileInfo(file).path() + QStringLiteral("/copy.ini"); // Qt keeps files it read in memory
    vxtest::writeAll(copy, vxtest::readAll(file));
    QSettings after(copy, QSettings::IniFormat);
    for (const auto &[key, value] : values)
        EXPECT_EQ(storedText(after.value(key)), key == QLatin1String("Ports/COM1") ? QStringLiteral("/dev/ttyUSB0") : value)
            << key.toStdString();

    // Lines written by hand read as the store always read them.
    const QByteArray hand[] = {
        "; a comment\n[Settings]\nA=1 ; a note\n# no comment=2\n",
        "\xEF\xBB\xBF[Settings]\r\nA = spaced out  \r\nB=\"quoted, with comma\"\r\n",
        "[Settings]\nA=one, two ,\"three\" \nB=@@at\nC=@Invalid()\nD=a\\tb\\x41\\101\\q\nE=\"open\nline\"\n",
        "[Settings]\nA=first\nA=second\nB=x \\\n  continued\nno equals sign\n[Recent Files]\nA=r\n",
        "[%General]\nA=g\n[General]\nA=top\n[Settings]\nB=@String(s)\nC=@ByteArray(b)\n",
    };
    for (const QByteArray &text : hand) {
        SCOPED_TRACE(text.constData());
        vxtest::writeAll(file, text);
        vxtest::writeAll(copy, text);
        QSettings byQt(copy, QSettings::IniFormat);
        for (const char *key : {"A", "B", "C", "D", "E"})
            EXPECT_EQ(GetSetting(app, kSection, QLatin1String(key), QStringLiteral("<missing>")),
                      storedText(byQt.value(QStringLiteral("Settings/") + QLatin1String(key))))
                << key;
        EXPECT_EQ(GetSetting(app, QStringLiteral("General"), QStringLiteral("A"), QStringLiteral("<missing>")),
                  storedText(byQt.value(QStringLiteral("General/A"))));
    }
}
