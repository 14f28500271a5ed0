// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace miradel::test {
namespace {

// The window really shown, and sizes forced on it through the window system's side, as a
// tiling manager or `xdotool windowsize` does: past the fixed-size limits.
class OutsideResizeTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
        ASSERT_TRUE(fixture.Show());
        laidOut = Window()->size();
        // Every layout run, counted with how deep it nests.
        Form().frm.OnResize([this] {
            ++runs;
            ++depth;
            deepest = std::max(deepest, depth);
            Form().Form_Resize();
            --depth;
        });
    }
    Frm& Form() { return fixture.Form(); }
    QWidget* Window() { return Form().frm.Widget(); }
    void Force(int width, int height) { Window()->windowHandle()->resize(width, height); }
    void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    FormFixture fixture;
    QSize laidOut;
    int runs = 0;
    int depth = 0;
    int deepest = 0;
};

TEST_F(OutsideResizeTest, OneOrBothDimensionsAreUndone)
{
    const QSize sizes[] = {
        { laidOut.width(), 300 },
        { laidOut.width(), laidOut.height() + 1 },
        { 300, laidOut.height() },
        { laidOut.width() - 1, laidOut.height() },
        { 200, 150 },
        { 1500, 1000 },
    };
    for (const QSize& size : sizes) {
        runs = 0;
        Force(size.width(), size.height());
        Settle();
        EXPECT_EQ(Window()->size(), laidOut) << size.width() << "x" << size.height();
        EXPECT_GE(runs, 1) << size.width() << "x" << size.height();
        EXPECT_LE(deepest, 2) << size.width() << "x" << size.height() << ": one nested run at most";
        EXPECT_TRUE(Form().Pic.Visible());
    }
    EXPECT_TRUE(fixture.endedWith.empty());
}

TEST_F(OutsideResizeTest, StormOfRandomSizesEndsInTheLaidOutSize)
{
    std::mt19937 sizes(14);
    std::uniform_int_distribution<int> width(1, 1600);
    std::uniform_int_distribution<int> height(1, 1200);
    for (int i = 0; i < 300; ++i) {
        Force(width(sizes), height(sizes));
        // Sometimes several reach the program before it can answer any.
        if (i % 3 == 0)
            QCoreApplication::processEvents();
    }
    Settle();
    EXPECT_EQ(Window()->size(), laidOut);
    EXPECT_LE(deepest, 2);
    EXPECT_TRUE(fixture.endedWith.empty());
}

} // namespace
} // namespace miradel::test
