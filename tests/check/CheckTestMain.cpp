// SPDX-License-Identifier: MIT
#include "platform/Fonts.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// The checker measures pages with the application's Japanese font, so the tests run with a
// QApplication on Qt's offscreen platform, as the tool itself does.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication application(argc, argv);
    miradel::ChooseJapaneseInterfaceFont();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
