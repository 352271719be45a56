#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>

// A test run removes the folder it was isolated in, with what its tests left.
TEST(TestEnv, ARunLeavesNoFolderBehind)
{
    if (qEnvironmentVariableIsSet("VX_TEST_CHILD")) {
        std::ofstream(vxtest::freshDir("left") + "/file") << "x";
        std::ofstream(vxtest::isolateEnvironment() + "/tmp/scratch") << "x";
        std::cout << "ROOT=" << vxtest::isolateEnvironment() << std::endl;
        return;
    }
    const QString parent = QString::fromStdString(vxtest::freshDir("runs"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VX_TEST_ROOT"), parent);
    env.insert(QStringLiteral("VX_TEST_CHILD"), QStringLiteral("1"));
    env.remove(QStringLiteral("VX_TEST_KEEP"));
    child.setProcessEnvironment(env);
    child.start(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
                {QStringLiteral("--gtest_filter=TestEnv.ARunLeavesNoFolderBehind")});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("ROOT="));
    ASSERT_GE(at, 0) << out.toStdString();
    const QString root = out.mid(at + 5).section(QLatin1Char('\n'), 0, 0).trimmed();
    EXPECT_TRUE(root.startsWith(parent)) << root.toStdString();
    EXPECT_FALSE(QFileInfo::exists(root)) << root.toStdString();
    EXPECT_TRUE(QDir(parent).isEmpty());
}
