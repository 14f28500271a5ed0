// SPDX-License-Identifier: MIT
#include "platform/Layout.h"
#include "support/FormFixture.h"

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {

// Figures worked by hand from the layout rules: width = screen / 5 x 4, height = applied
// width / 3 x 2, base font = floor(applied height / 100 / 10) + 4.
TEST(LayoutArithmetic, ScreenOf768Pixels)
{
    EXPECT_FLOAT_EQ(LayoutWidthFor(11520), 9216);
    // Whole pixels: 9216 twips are 614.4 pixels, so 9210 is read back.
    EXPECT_FLOAT_EQ(LayoutHeightFor(9210), 6140);
    EXPECT_FLOAT_EQ(BaseFontSizeFor(6135), 10);
    EXPECT_FLOAT_EQ(BaseFontSizeFor(6140), 10);
}

TEST(LayoutArithmetic, ScreenOf1080Pixels)
{
    EXPECT_FLOAT_EQ(LayoutWidthFor(16200), 12960);
    EXPECT_FLOAT_EQ(LayoutHeightFor(12960), 8640);
    EXPECT_FLOAT_EQ(BaseFontSizeFor(8640), 12);
}

// The screen's available area decides only when the described window would not fit in it.
TEST(LayoutArithmetic, WindowFitsTheAvailableArea)
{
    constexpr float kPixel = 15;
    // Wide enough, panels or not: exactly the described width.
    EXPECT_FLOAT_EQ(LayoutWidthFor(11520, 1024 * kPixel, 768 * kPixel), 9216);
    EXPECT_FLOAT_EQ(LayoutWidthFor(11520, 1024 * kPixel, 720 * kPixel), 9216);
    EXPECT_FLOAT_EQ(LayoutWidthFor(16200, 1920 * kPixel, 1040 * kPixel), 12960);
    // Just as wide as the window: still the described width.
    EXPECT_FLOAT_EQ(LayoutWidthFor(16200, 864 * kPixel, 576 * kPixel), 12960);
    // A portrait screen of 800 x 1280: the full width instead of 1024 pixels.
    EXPECT_FLOAT_EQ(LayoutWidthFor(1280 * kPixel, 800 * kPixel, 1240 * kPixel), 800 * kPixel);
    EXPECT_FLOAT_EQ(LayoutHeightFor(800 * kPixel), 8000);
    EXPECT_FLOAT_EQ(BaseFontSizeFor(8000), 12);
    // An area too low for the height: the width follows from the height that fits.
    EXPECT_FLOAT_EQ(LayoutWidthFor(16200, 1920 * kPixel, 400 * kPixel), 600 * kPixel);
    EXPECT_FLOAT_EQ(LayoutHeightFor(600 * kPixel), 400 * kPixel);
}

TEST(LayoutArithmetic, BaseFontIsFloored)
{
    EXPECT_FLOAT_EQ(BaseFontSizeFor(6000), 10);
    EXPECT_FLOAT_EQ(BaseFontSizeFor(5999), 9);
}

TEST(LayoutArithmetic, ChoiceButtonsTouch)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(ChoiceButtonRect(i).top + ChoiceButtonRect(i).height, ChoiceButtonRect(i + 1).top);
    EXPECT_FLOAT_EQ(ChoiceButtonRect(3).top, 0.9f);
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

TEST_F(LayoutRunTest, ColoursAndFonts)
{
    const float base = BaseFontSizeFor(Form().frm.HeightTwips());
    EXPECT_EQ(Form().frm.BackColor(), kWhite);
    EXPECT_EQ(Form().Lbl.ForeColor(), kRed);
    EXPECT_FLOAT_EQ(Form().Lbl.FontSize(), base);
    EXPECT_FLOAT_EQ(Form().Com(3).FontSize(), base);
    EXPECT_FLOAT_EQ(Form().ComGame.FontSize(), 2 * base);
    EXPECT_FLOAT_EQ(Form().LblDay.FontSize(), 4 * base);
    EXPECT_EQ(Form().LblDay.BackColor(), kRed);
    EXPECT_EQ(Form().LblDay.ForeColor(), kWhite);
    EXPECT_EQ(Form().ComGame.BackColor(), kWhite);
    EXPECT_FALSE(Form().Lbl.Widget()->autoFillBackground());
    EXPECT_TRUE(Form().LblDay.Widget()->autoFillBackground());
    EXPECT_EQ(static_cast<QLabel*>(Form().LblDay.Widget())->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
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

TEST_F(LayoutRunTest, SizeChangeFromOutsideIsUndone)
{
    const QSize laidOut = Form().frm.Widget()->size();
    Form().frm.Widget()->setFixedSize(200, 150);
    Form().Form_Resize();
    EXPECT_EQ(Form().frm.Widget()->size(), laidOut);
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
