// SPDX-License-Identifier: MIT
#include "platform/Layout.h"
#include "support/ChildTest.h"
#include "support/FormFixture.h"

#include <QImage>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// Worked by hand at 96 dots per inch (15 twips a pixel), where the window and the page agree:
// width 4/5 of the screen height or the widest of the same proportions that fits the available
// area, height 2/3 of the width taken in whole pixels, font floor(height in twips / 1000) + 4.
TEST(Layout, ScreenSizesGiveTheWindowAndItsFont)
{
    const struct {
        int screenHeight, areaWidth, areaHeight, width, height;
        float font;
    } rows[] = {
        { 768, 1366, 728, 614, 409, 10 },
        { 1080, 1920, 1040, 864, 576, 12 },
        { 1280, 800, 1240, 800, 533, 11 }, // portrait: the full width
        { 1080, 1920, 400, 600, 400, 10 }, // too low: the height that fits decides
        { 540, 960, 540, 432, 288, 8 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.screenHeight) + " " + std::to_string(row.areaWidth));
        const float width = LayoutWidthFor(row.screenHeight * 15.f, row.areaWidth * 15.f, row.areaHeight * 15.f);
        EXPECT_EQ(std::lround(width / 15), row.width);
        const float height = LayoutHeightFor(static_cast<float>(row.width * 15));
        EXPECT_EQ(std::lround(height / 15), row.height);
        EXPECT_FLOAT_EQ(BaseFontSizeFor(static_cast<float>(row.height * 15)), row.font);
    }
}

// Runs in a child on a screen of 1920 x 1080 device pixels at the scale QT_SCALE_FACTOR.
TEST(DISABLED_LayoutChild, WindowOnA1080Screen)
{
    const std::string scale = std::getenv("QT_SCALE_FACTOR");
    FormFixture fixture;
    fixture.folder.WritePicture("img/ttl.jpg", Qt::darkCyan, 1600, 1200);
    Frm& form = fixture.Form();
    // The title is shown before the layout run, which must decode it again for the area.
    form.Form_Load();
    form.Form_Activate();
    form.Form_Resize();
    QWidget* window = form.frm.Widget();
    ASSERT_DOUBLE_EQ(window->devicePixelRatioF(), std::stod(scale));
    // Laid out in logical pixels: the screen is 1080, 720 or 540 of them high.
    const QSize size = scale == "1" ? QSize(864, 576) : scale == "2" ? QSize(432, 288) : QSize(576, 384);
    EXPECT_EQ(window->size(), size);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const float base = scale == "1" ? 12 : scale == "2" ? 8 : 9;
    // The controls fill the 3 x 2 block inside a margin of 0.1, each edge rounded on its own so
    // that neighbours touch.
    const struct {
        const Control& control;
        QRect at1080;
        float font;
    } rows[] = {
        { form.Lbl, { 27, 26, 540, 524 }, base },
        { form.Pic, { 567, 26, 270, 262 }, 0 },
        { form.LblDay, { 567, 288, 270, 131 }, 4 * base },
        { form.ComGame, { 27, 26, 135, 131 }, 2 * base },
        { form.Com(0), { 27, 26, 135, 79 }, base },
        { form.Com(1), { 27, 105, 135, 78 }, base },
        { form.Com(3), { 27, 262, 135, 78 }, base },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control.Widget()->metaObject()->className() + std::to_string(row.at1080.y()));
        if (scale == "1") {
            EXPECT_EQ(row.control.Widget()->geometry(), row.at1080);
        }
        if (row.font != 0) {
            EXPECT_FLOAT_EQ(row.control.FontSize(), row.font);
        }
    }

    // The picture is decoded for the area's device pixels, and reaches the screen unblurred, also
    // at 150 %, where the area's edge falls inside a device pixel: one-pixel stripes stay sharp.
    const PixelSize device = form.Pic.DeviceSize();
    EXPECT_EQ(DecodedSize(form.E.HeldPicture()).width, device.width);
    EXPECT_EQ(DecodedSize(form.E.HeldPicture()).height, device.height);
    QImage stripes(device.width, device.height, QImage::Format_RGB32);
    for (int x = 0; x < device.width; ++x) {
        for (int y = 0; y < device.height; ++y)
            stripes.setPixel(x, y, x % 2 == 0 ? 0xFF000000 : 0xFFFFFFFF);
    }
    stripes.save(QString::fromStdString((fixture.folder.Path() / "img/stripes.jpg").string()), "JPG", 100);
    form.game.ShowPicture(u"stripes");
    const QImage shown = form.Pic.Widget()->grab().toImage();
    const int y = shown.height() / 2;
    int sharp = 0;
    for (int x = 1; x < shown.width(); ++x)
        sharp += std::abs(qGray(shown.pixel(x, y)) - qGray(shown.pixel(x - 1, y))) > 160;
    EXPECT_GT(sharp, 0.95 * (shown.width() - 1));
}

TEST(Layout, WindowOnA1080ScreenAtEachScale)
{
    GameFolder folder;
    const std::string screens = R"({ "screens": [ { "name": "s", "x": 0, "y": 0, "width": 1920, "height": 1080,
        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })";
    const std::string platform = "offscreen:configfile=" + folder.WriteFile("screens.json", screens).string();
    for (const char* scale : { "1", "1.5", "2" }) {
        const ChildOutcome child = RunChildTests(
            "DISABLED_LayoutChild.*", { { "QT_SCALE_FACTOR", scale }, { "QT_QPA_PLATFORM", platform } });
        EXPECT_EQ(child.exitCode, 0) << "at scale " << scale << ":\n" << child.output;
    }
}

} // namespace
} // namespace miradel::test
