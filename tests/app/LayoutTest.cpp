// SPDX-License-Identifier: MIT
#include "platform/Layout.h"
#include "support/FormFixture.h"

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {

// Figures worked by hand from the layout rules, in twips (15 a pixel): width = screen
// height / 5 x 4, or what fits the available area; height = applied width / 3 x 2; base
// font = floor(applied height / 100 / 10) + 4.
TEST(LayoutArithmetic, WorkedByHand)
{
    constexpr float kPixel = 15;
    const struct {
        float screenHeight, areaWidth, areaHeight, width;
    } widths[] = {
        { 11520, 0, 0, 9216 },
        { 16200, 0, 0, 12960 },
        // Wide enough, panels or not, even just as wide: exactly the described width.
        { 11520, 1024 * kPixel, 720 * kPixel, 9216 },
        { 16200, 1920 * kPixel, 1040 * kPixel, 12960 },
        { 16200, 864 * kPixel, 576 * kPixel, 12960 },
        // A portrait screen of 800 x 1280: the full width.
        { 1280 * kPixel, 800 * kPixel, 1240 * kPixel, 800 * kPixel },
        // An area too low for the height: the width follows from the height that fits.
        { 16200, 1920 * kPixel, 400 * kPixel, 600 * kPixel },
    };
    for (const auto& row : widths) {
        const float width = row.areaWidth == 0 ? LayoutWidthFor(row.screenHeight)
                                               : LayoutWidthFor(row.screenHeight, row.areaWidth, row.areaHeight);
        EXPECT_FLOAT_EQ(width, row.width) << row.screenHeight << " " << row.areaWidth << "x" << row.areaHeight;
    }
    // Whole pixels: 9216 twips are 614.4 pixels, so 9210 is read back.
    for (const auto& [width, height] :
        { std::pair { 9210.f, 6140.f }, { 12960.f, 8640.f }, { 12000.f, 8000.f }, { 9000.f, 6000.f } })
        EXPECT_FLOAT_EQ(LayoutHeightFor(width), height) << width;
    for (const auto& [height, font] :
        { std::pair { 6135.f, 10.f }, { 6140.f, 10.f }, { 8640.f, 12.f }, { 6000.f, 10.f }, { 5999.f, 9.f } })
        EXPECT_FLOAT_EQ(BaseFontSizeFor(height), font) << height;
}

class LayoutRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
        fixture.Start();
    }
    Frm& Form() { return fixture.Form(); }
    FormFixture fixture;
};

TEST_F(LayoutRunTest, WindowTakesItsSizeFromTheScreen)
{
    const float twipsPerPixel = Form().frm.TwipsPerPixel();
    const float screen = Form().frm.ScreenHeightTwips();
    const int expectedWidth = static_cast<int>(std::lround(LayoutWidthFor(screen) / twipsPerPixel));
    EXPECT_EQ(Form().frm.Widget()->width(), expectedWidth);
    EXPECT_FLOAT_EQ(Form().frm.WidthTwips(), expectedWidth * twipsPerPixel);
    const int expectedHeight = static_cast<int>(std::lround(LayoutHeightFor(Form().frm.WidthTwips()) / twipsPerPixel));
    EXPECT_EQ(Form().frm.Widget()->height(), expectedHeight);
    // The frame is fixed: no size but this one.
    EXPECT_EQ(Form().frm.Widget()->minimumSize(), Form().frm.Widget()->maximumSize());
}

TEST_F(LayoutRunTest, ControlsFillTheBlockInProportion)
{
    const QSize inner = Form().frm.Widget()->size();
    const auto expect = [&](const Control& control, double left, double top, double width, double height) {
        const QRect place = control.Widget()->geometry();
        EXPECT_NEAR(place.x(), (left + 0.1) / 3.2 * inner.width(), 1.0);
        EXPECT_NEAR(place.y(), (top + 0.1) / 2.2 * inner.height(), 1.0);
        EXPECT_NEAR(place.width(), width / 3.2 * inner.width(), 1.0);
        EXPECT_NEAR(place.height(), height / 2.2 * inner.height(), 1.0);
    };
    expect(Form().Lbl, 0, 0, 2, 2);
    expect(Form().Pic, 2, 0, 1, 1);
    expect(Form().LblDay, 2, 1, 1, 0.5);
    expect(Form().ComGame, 0, 0, 0.5, 0.5);
    for (int i = 0; i < 4; ++i)
        expect(Form().Com(i), 0, 0.3 * i, 0.5, 0.3);
}

TEST_F(LayoutRunTest, FontsFollowTheHeight)
{
    const float base = BaseFontSizeFor(Form().frm.HeightTwips());
    EXPECT_FLOAT_EQ(Form().Lbl.FontSize(), base);
    EXPECT_FLOAT_EQ(Form().Com(3).FontSize(), base);
    EXPECT_FLOAT_EQ(Form().ComGame.FontSize(), 2 * base);
    EXPECT_FLOAT_EQ(Form().LblDay.FontSize(), 4 * base);
}

TEST_F(LayoutRunTest, EveryRunShowsDayAndPictureAndTouchesNothingElse)
{
    Form().LblDay.SetVisible(false);
    Form().E.SetVisible(true);
    const bool messageShown = Form().Lbl.Visible();
    const Text caption = Form().Lbl.Caption();
    Form().Form_Resize();
    EXPECT_TRUE(Form().LblDay.Visible());
    EXPECT_TRUE(Form().Pic.Visible());
    EXPECT_FALSE(Form().E.Visible());
    EXPECT_EQ(Form().Lbl.Visible(), messageShown);
    EXPECT_EQ(Form().Lbl.Caption(), caption);
    EXPECT_FALSE(Form().ComGame.Visible());
}

TEST_F(LayoutRunTest, TallPageKeepsItsNewestLineInView)
{
    auto* label = static_cast<QLabel*>(Form().Lbl.Widget());
    Form().Lbl.SetCaption(u"\r\nshort");
    Form().Lbl.FlushCaption();
    EXPECT_TRUE(label->alignment() & Qt::AlignTop);
    Text tall;
    for (int i = 0; i < 60; ++i)
        tall += u"\r\nline";
    const auto shown = [&](const Text& caption) {
        Form().Lbl.SetCaption(caption);
        Form().Lbl.FlushCaption();
        return label->grab().toImage();
    };
    const QImage endsInText = shown(tall + u"\r\nline");
    EXPECT_TRUE(label->alignment() & Qt::AlignBottom);
    EXPECT_TRUE(label->alignment() & Qt::AlignLeft);

    // The newest line is the one on show at the bottom: a different last line changes the
    // bottom rows.
    const QImage endsInBlocks = shown(tall + u"\r\n■■■■■■■■");
    const int rows = endsInText.height() / 10;
    EXPECT_NE(endsInText.copy(0, endsInText.height() - rows, endsInText.width(), rows),
        endsInBlocks.copy(0, endsInBlocks.height() - rows, endsInBlocks.width(), rows));
}

} // namespace miradel::test
