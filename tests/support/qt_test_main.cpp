// SPDX-License-Identifier: MIT
// Entry of the window tests: one QApplication for the whole run, on the offscreen platform unless
// the environment names another, with the screen that ICATLAS_TEST_SCREEN asks for.
#include "tests/support/test_screen.hpp"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing_support::applyTestScreen();
    // Death tests start the binary again; the re-run must not share this process's threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::InitGoogleTest(&argc, argv);
    const QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
