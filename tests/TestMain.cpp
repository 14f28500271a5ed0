// SPDX-License-Identifier: MIT
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Widget tests run on Qt's offscreen platform. The test runner may start this binary
// without the test's environment, so the platform is chosen here when nobody chose one.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Keep the music tests off any real sound device.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
