#include "tests/app/startup/PreferenceDefaults.h"
#include "app/startup/Firmware.h"
#include "app/Globals.h"
#include "app/startup/Preferences.h"
#include "platform/Settings.h"

#include "tests/support/TestEnv.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Builds a first image whose chained version bytes hold `version`.
QByteArray firstImage(int version, int size = 64)
{
    QByteArray b(size, '\x5a');
    const uint8_t plain[6] = {0x11, 0x22, 0x33, 0x44, uint8_t(version & 0xFF), uint8_t(version >> 8)};
    uint8_t prev = 0x80;
    for (int i = 0; i < 6; ++i) {
        // Stored byte XOR the previous plain byte (128 before the first) gives the plain byte.
        b[8 + i] = char(plain[i] ^ prev);
        prev = plain[i];
    }
    return b;
}

QByteArray secondImage(int version, int size = 300)
{
    QByteArray b(size, '\x33');
    const uint8_t low = uint8_t(version & 0xFF);
    const uint8_t high = uint8_t(version >> 8);
    b[size - 132] = char(low ^ 0xFF);
    b[size - 131] = char(high ^ low);
    return b;
}

} // namespace

TEST(Firmware, VersionsUnchainAsUnsignedHalves)
{
    for (int v : {0x0000, 0x0210, 0x7FFF, 0x8000, 0xFFFF, 0x1234}) {
        EXPECT_EQ(FirstImageVersion(firstImage(v)), v);
        EXPECT_EQ(SecondImageVersion(secondImage(v)), v);
    }
    // The second image's version sits 132 bytes before the end, wherever that is.
    EXPECT_EQ(SecondImageVersion(secondImage(0x0305, 132)), 0x0305);
}

TEST(Firmware, ImagesTooShortToHoldAVersionAreNoImages)
{
    EXPECT_FALSE(FirstImageVersion(QByteArray(13, 'x')).has_value());
    EXPECT_TRUE(FirstImageVersion(QByteArray(14, 'x')).has_value());
    EXPECT_FALSE(SecondImageVersion(QByteArray(131, 'x')).has_value());
    EXPECT_FALSE(FirstImageFileVersion(QStringLiteral("/nonexistent/m$8a13f6.bin")).has_value());
}

TEST(Firmware, OnlyTheVersionBytesOfAnImageFileAreRead)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("firmware-files"));
    // A large second image: the version is found 132 bytes before its end
    // without the file being loaded.
    QFile big(dir + QStringLiteral("/m$92e05b.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const qint64 size = qint64(3) << 30;
    ASSERT_TRUE(big.resize(size));
    ASSERT_TRUE(big.seek(size - 132));
    big.write(secondImage(0x0412, 132).left(2));
    big.close();
    EXPECT_EQ(SecondImageFileVersion(big.fileName()), 0x0412);

    QFile small(dir + QStringLiteral("/m$8a13f6.bin"));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(firstImage(0x0305));
    small.close();
    EXPECT_EQ(FirstImageFileVersion(small.fileName()), 0x0305);

    // Only regular files are images: a device without end, or a named pipe
    // nobody writes to (whose open would wait for ever), is none. The alarm
    // turns a wait into a failure.
    const QString fifo = dir + QStringLiteral("/m$3c71e0.bin");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ::alarm(20);
    for (const QString &special : {QStringLiteral("/dev/zero"), fifo}) {
        EXPECT_FALSE(FirstImageFileVersion(special).has_value()) << special.toStdString();
        EXPECT_FALSE(SecondImageFileVersion(special).has_value()) << special.toStdString();
    }
    ::alarm(0);
}

TEST(Firmware, BoardTables)
{
    EXPECT_EQ(ModuleNameFor(1), QStringLiteral("Evaluation Board"));
    EXPECT_EQ(ModuleNameFor(2), QStringLiteral("SM340A"));
    EXPECT_EQ(ModuleNameFor(8), QStringLiteral("SM340A"));
    EXPECT_EQ(ModuleNameFor(4), QStringLiteral("Vellatone LT"));
    EXPECT_EQ(ModuleNameFor(7), QStringLiteral("Vellatone LT"));
    for (int code : {0, 3, 5, 6, 9, 255}) {
        EXPECT_FALSE(ModuleNameFor(code).has_value()) << code;
        EXPECT_FALSE(FirmwarePairFor(code, false).valid()) << code;
    }
    EXPECT_EQ(FirmwarePairFor(1, true).first, QStringLiteral("m$3c71e0.bin"));
    EXPECT_EQ(FirmwarePairFor(1, true).second, QStringLiteral("m$5d0a94.bin"));
    EXPECT_EQ(FirmwarePairFor(1, false).first, QStringLiteral("m$6e2b17.bin"));
    EXPECT_EQ(FirmwarePairFor(2, false).second, QStringLiteral("m$92e05b.bin"));
    EXPECT_EQ(FirmwarePairFor(8, true).first, QStringLiteral("m$e70b4c.bin"));

    EXPECT_EQ(SampleRateFor(0), 10500);
    EXPECT_EQ(SampleRateFor(4), 10000);
    EXPECT_EQ(SampleRateFor(8), 8000);
    EXPECT_FALSE(SampleRateFor(12).has_value());
}

namespace {
const QString kApp = QStringLiteral("Voxmere");
const QString kSec = QStringLiteral("Settings");
} // namespace

TEST(Preferences, MissingKeysGiveTheDefaults)
{
    ResetGlobals();
    DeleteSetting(kApp, kSec);
    Port = 5;
    ChipModel.clear();
    LoadPreferences();
    expectPreferenceDefaults();
    EXPECT_EQ(BaudRateText(BaudRate), QStringLiteral("115200"));

    IsOlderChip = true;
    LoadSV10DataFiles();
    EXPECT_TRUE(SV10DataFiles);
    IsOlderChip = false;
    LoadSV10DataFiles();
    EXPECT_FALSE(SV10DataFiles);
}

TEST(Preferences, StoredValuesThatDoNotConvertReadAsTheirDefaults)
{
    ResetGlobals();
    DeleteSetting(kApp, kSec);
    SaveSetting(kApp, kSec, QStringLiteral("Port"), QStringLiteral("COM3"));
    SaveSetting(kApp, kSec, QStringLiteral("BaudRate"), QStringLiteral("fast"));
    SaveSetting(kApp, kSec, QStringLiteral("Highlight"), QStringLiteral("maybe"));
    SaveSetting(kApp, kSec, QStringLiteral("DfltPCMEnc"), QStringLiteral("0"));
    SaveSetting(kApp, kSec, QStringLiteral("AudioView"), QStringLiteral("1"));
    LoadPreferences();
    EXPECT_EQ(Port, 0);
    EXPECT_EQ(BaudRate, 8);
    EXPECT_TRUE(Highlight);
    EXPECT_FALSE(DfltPCMEnc);
    EXPECT_EQ(AudioView, 1);

    // A port outside the list of 32 is no port.
    for (const char *bad : {"33", "300", "-1"}) {
        SaveSetting(kApp, kSec, QStringLiteral("Port"), QString::fromLatin1(bad));
        LoadPreferences();
        EXPECT_EQ(Port, 0) << bad;
    }
    SaveSetting(kApp, kSec, QStringLiteral("Port"), QStringLiteral("32"));
    LoadPreferences();
    EXPECT_EQ(Port, 32);

    // A speed index outside the list would name no speed.
    for (const char *bad : {"0", "9", "-3"}) {
        SaveSetting(kApp, kSec, QStringLiteral("BaudRate"), QString::fromLatin1(bad));
        LoadPreferences();
        EXPECT_EQ(BaudRate, 8) << bad;
    }
    SaveSetting(kApp, kSec, QStringLiteral("BaudRate"), QStringLiteral("4"));
    LoadPreferences();
    EXPECT_EQ(BaudRateText(BaudRate), QStringLiteral("9600"));

    // A NUL shortcut, as older settings stored "off", reads as off.
    SaveSetting(kApp, kSec, QStringLiteral("CommandChar"), QString(QChar(0)));
    LoadPreferences();
    EXPECT_TRUE(CommandChar.isEmpty());
}

TEST(Preferences, StoreWritesEveryPreferenceButThePort)
{
    ResetGlobals();
    DeleteSetting(kApp, kSec);
    Port = 7;
    BaudRate = 3;
    Highlight = false;
    CommandChar = QStringLiteral("#");
    AudioEditor = QStringLiteral("/opt/editor");
    SV10DataFiles = true;
    StorePreferences();
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port"), QStringLiteral("missing")), QStringLiteral("missing"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("BaudRate")), QStringLiteral("3"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Highlight")), QStringLiteral("False"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("CommandChar")), QStringLiteral("#"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("AudioEditor")), QStringLiteral("/opt/editor"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("SV10DataFiles")), QStringLiteral("True"));
}
