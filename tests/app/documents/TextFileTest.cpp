#include "app/documents/TextFile.h"

#include "tests/app/documents/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString dir()
{
    return QString::fromStdString(vxtest::freshDir("textfile"));
}

} // namespace

TEST(TextFile, EveryByteValueComesBackAsItWas)
{
    // Line breaks aside (a CR alone reads as a line break), every byte value.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    all += "\r\nend\r\n";
    const QString path = dir() + QStringLiteral("/all.txt");
    writeBytes(path, all);
    QString text;
    ASSERT_TRUE(LoadTextFile(path, text));
    ASSERT_TRUE(SaveTextFile(path, text));
    EXPECT_EQ(readBytes(path), all);
}

TEST(TextFile, AnyLineEndLoadsAndSavesAsCrLf)
{
    const QString path = dir() + QStringLiteral("/lf.txt");
    writeBytes(path, "one\ntwo\rthree\r\nfour");
    QString text;
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text, QStringLiteral("one\ntwo\nthree\nfour"));
    ASSERT_TRUE(SaveTextFile(path, text));
    EXPECT_EQ(readBytes(path), QByteArray("one\r\ntwo\r\nthree\r\nfour"));
}

TEST(TextFile, AFailedSaveKeepsTheOldFileAndSaysWhy)
{
    const QString path = dir() + QStringLiteral("/keep.txt");
    writeBytes(path, "old text\r\n");
    QString error;
    {
        const FileSizeLimit full(4096);
        EXPECT_FALSE(SaveTextFile(path, QString(100000, QLatin1Char('x')), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old text\r\n"));

    QString text = QStringLiteral("unchanged");
    EXPECT_FALSE(LoadTextFile(dir() + QStringLiteral("/missing.txt"), text, &error));
    EXPECT_EQ(text, QStringLiteral("unchanged"));
}

TEST(TextFile, ALongFileIsCutToTheWindowLimit)
{
    const QString path = dir() + QStringLiteral("/long.txt");
    writeBytes(path, QByteArray(kTextMaxLength + 10, 'a'));
    QString text;
    ASSERT_TRUE(LoadTextFile(path, text));
    EXPECT_EQ(text.size(), kTextMaxLength);
}
