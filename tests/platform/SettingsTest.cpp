#include "platform/Settings.h"
#include "tests/support/TestEnv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

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
