// SPDX-License-Identifier: MIT
#include "platform/Layout.h"
#include "support/ChildTest.h"
#include "support/FormFixture.h"

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// Vertical stripes one pixel wide, black and white: any resampling of them shows as grey.
void WriteStripes(const GameFolder& folder, const std::string& relative, int width, int height)
{
    QImage stripes(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            stripes.setPixel(x, y, x % 2 == 0 ? 0xFF000000 : 0xFFFFFFFF);
    }
    stripes.save(QString::fromStdString((folder.Path() / relative).string()), "JPG", 100);
}

// The share of neighbouring pixels along the middle row that differ as black and white do.
double StripeContrast(const QImage& image)
{
    const int y = image.height() / 2;
    int sharp = 0;
    for (int x = 1; x < image.width(); ++x)
        sharp += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x - 1, y))) > 160;
    return sharp / static_cast<double>(image.width() - 1);
}

// Runs in a child whose screens have the scale factor QT_SCALE_FACTOR.
TEST(DISABLED_HighDpiChild, LayoutAtTheScreensScale)
{
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    ASSERT_NE(factor, nullptr);
    const double scale = std::atof(factor);

    FormFixture fixture;
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteAllPictures();
    fixture.folder.WritePicture("img/ttl.jpg", Qt::darkCyan, 1600, 1200);
    fixture.Start();
    Frm& form = fixture.Form();
    QWidget* window = form.frm.Widget();
    ASSERT_DOUBLE_EQ(window->devicePixelRatioF(), scale);

    // In logical pixels the window is what it is at 100 %: 4/5 of the screen height wide,
    // 3 : 2, with every control in its place.
    const QSize screen = window->screen()->geometry().size();
    EXPECT_NEAR(window->width(), screen.height() * 4.0 / 5.0, 1.5);
    EXPECT_NEAR(window->width() / static_cast<double>(window->height()), 1.5, 0.02);
    const QRect picture = form.Pic.Widget()->geometry();
    EXPECT_NEAR(picture.x(), 2.1 / 3.2 * window->width(), 1.0);
    EXPECT_NEAR(picture.width(), 1 / 3.2 * window->width(), 1.0);
    EXPECT_NEAR(picture.height(), 1 / 2.2 * window->height(), 1.0);
    EXPECT_FLOAT_EQ(
        static_cast<float>(form.Lbl.Widget()->font().pointSizeF()), BaseFontSizeFor(form.frm.HeightTwips()));

    // The picture is decoded at the size of the area in device pixels.
    const PixelSize device = form.Pic.DeviceSize();
    EXPECT_EQ(device.width, std::lround(picture.width() * scale));
    EXPECT_EQ(device.height, std::lround(picture.height() * scale));
    const PixelSize decoded = DecodedSize(form.E.HeldPicture());
    EXPECT_EQ(decoded.width, device.width);
    EXPECT_EQ(decoded.height, device.height);

    // Text and pictures are drawn at device resolution.
    const QPixmap shot = window->grab();
    EXPECT_DOUBLE_EQ(shot.devicePixelRatio(), scale);
    EXPECT_NEAR(shot.width(), window->width() * scale, 1.0);

    // Stripes made for the device pixels of the area reach the screen unblurred, also at
    // 150 %, where the area's edge falls inside a device pixel.
    WriteStripes(fixture.folder, "img/stripes.jpg", device.width, device.height);
    form.game.ShowPicture(u"stripes");
    EXPECT_GT(StripeContrast(form.Pic.Widget()->grab().toImage()), 0.95);
}

TEST(HighDpiLayout, KeepsProportionsAndDrawsAtDeviceResolution)
{
    for (const char* scale : { "1.5", "2" }) {
        const ChildOutcome child = RunChildTests("DISABLED_HighDpiChild.*", { { "QT_SCALE_FACTOR", scale } });
        EXPECT_EQ(child.exitCode, 0) << "at scale " << scale << ":\n" << child.output;
    }
}

} // namespace
} // namespace miradel::test
