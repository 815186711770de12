// SPDX-License-Identifier: MIT
// Entry of the window tests: one QApplication for the whole run, on the offscreen platform unless
// the environment names another, with the screen that ICATLAS_TEST_SCREEN asks for.
#include "tests/support/test_screen.hpp"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Where there is no session (CI, a console), Qt would warn once per run that it falls back to
    // a runtime folder of its own; the run gets a private one that goes when it ends.
    const QTemporaryDir runtimeDir;
    testing_support::applyTestScreen(runtimeDir.path());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    }
    // Death tests start the binary again; the re-run must not share this process's threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::InitGoogleTest(&argc, argv);
    const QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
