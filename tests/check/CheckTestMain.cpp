// SPDX-License-Identifier: MIT
#include "platform/Fonts.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// The checker measures pages with the application's Japanese font, as the tool does.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    miradel::ChooseJapaneseInterfaceFont();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
