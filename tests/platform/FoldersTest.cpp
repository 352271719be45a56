#include "platform/Folders.h"
#include "platform/SingleInstance.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vx;

namespace {
void touch(const QString &path, const QByteArray &content = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}
} // namespace

TEST(Folders, EmptyingRemovesRegularFilesAndNeverFollowsALink)
{
    const QString root = QString::fromStdString(vxtest::freshDir("empty"));
    const QString temp = root + QStringLiteral("/temp");
    const QString outside = root + QStringLiteral("/outside");
    QDir().mkpath(temp + QStringLiteral("/sub"));
    QDir().mkpath(outside);
    touch(temp + QStringLiteral("/a.tmp"));
    touch(temp + QStringLiteral("/b.wav"));
    touch(temp + QStringLiteral("/sub/keep.txt"));
    touch(outside + QStringLiteral("/precious.txt"), "keep me");
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/precious.txt"), temp + QStringLiteral("/link.txt")));
    ASSERT_TRUE(QFile::link(outside, temp + QStringLiteral("/linkdir")));

    emptyFolder(temp);

    EXPECT_FALSE(QFileInfo::exists(temp + QStringLiteral("/a.tmp")));
    EXPECT_FALSE(QFileInfo::exists(temp + QStringLiteral("/b.wav")));
    EXPECT_TRUE(QFileInfo::exists(temp + QStringLiteral("/sub/keep.txt")));
    QFile precious(outside + QStringLiteral("/precious.txt"));
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), QByteArray("keep me"));

    // A link given as the folder itself is not entered.
    touch(temp + QStringLiteral("/c.tmp"));
    EXPECT_EQ(emptyFolder(temp + QStringLiteral("/linkdir")), 0);
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/precious.txt")));
}

TEST(Folders, TheTemporaryFolderIsPerUserAndPrivate)
{
    setProgramName(QStringLiteral("Voxmere"));
    const QString path = tempFolderPath();
    EXPECT_TRUE(path.startsWith(QDir::tempPath()));
    EXPECT_TRUE(path.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(path.contains(QStringLiteral("Voxmere-")));
    QString err;
    ASSERT_TRUE(createTempFolder(path, &err)) << err.toStdString();
    ASSERT_TRUE(createTempFolder(path, &err)); // twice is fine
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const QString a = uniqueFileIn(path, QStringLiteral("src"), QStringLiteral(".tmp"));
    const QString b = uniqueFileIn(path, QStringLiteral("src"), QStringLiteral(".tmp"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo::exists(a));

    // A link planted where the folder belongs is refused.
    const QString root = QString::fromStdString(vxtest::freshDir("plant"));
    QDir().mkpath(root + QStringLiteral("/target"));
    QFile::link(root + QStringLiteral("/target"), root + QStringLiteral("/Voxmere-x"));
    EXPECT_FALSE(createTempFolder(root + QStringLiteral("/Voxmere-x/"), &err));
}

TEST(SingleInstance, ASecondHolderIsRefusedUntilTheFirstEnds)
{
    auto first = std::make_unique<SingleInstance>(QStringLiteral("VoxmereLockTest"));
    EXPECT_TRUE(first->isFirst());
    {
        SingleInstance second(QStringLiteral("VoxmereLockTest"));
        EXPECT_FALSE(second.isFirst());
    }
    first.reset();
    SingleInstance third(QStringLiteral("VoxmereLockTest"));
    EXPECT_TRUE(third.isFirst());
}
