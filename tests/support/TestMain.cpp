#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/TestIsolation.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    testsupport::installCaseIsolation();
    return RUN_ALL_TESTS();
}
