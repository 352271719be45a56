// Test main for tests that need a QApplication: isolated environment,
// offscreen platform, then GoogleTest.
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    vxtest::isolateEnvironment();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VoxmereTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
