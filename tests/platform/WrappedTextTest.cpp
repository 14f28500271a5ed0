// SPDX-License-Identifier: MIT
#include "platform/WrappedText.h"

#include "platform/Fonts.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

namespace miradel {
namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 400;

QFont MessageFont()
{
    QFont font = QFont();
    font.setPointSizeF(12);
    return font;
}

// What a word-wrapping QLabel shows of the text: the look the message area has always had.
QImage LabelPicture(const QString& text, Qt::Alignment alignment, int height = kHeight)
{
    // A child widget, so that no screen limits its size.
    QWidget parent;
    parent.resize(kWidth, height);
    QLabel label(&parent);
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setAlignment(alignment);
    label.setFont(MessageFont());
    label.setText(text);
    label.resize(kWidth, height);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::red);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage WrappedPicture(WrappedText& wrapped, Qt::Alignment alignment)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(Qt::red));
    wrapped.SetFont(MessageFont());
    wrapped.SetAlignment(alignment);
    wrapped.Draw(painter, QRectF(0, 0, kWidth, kHeight), alignment & Qt::AlignVertical_Mask);
    return image;
}

int RedPixels(const QImage& image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += qGreen(image.pixel(x, y)) < 128;
    return red;
}

int DifferentPixels(const QImage& a, const QImage& b)
{
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            different += a.pixel(x, y) != b.pixel(x, y);
    return different;
}

const QString kPage
    = QString::fromUtf8("\n塔の上で、ミラは雲を織っていた。白い糸は風に乗り、どこまでも、どこまでも続いていく。"
                        "\nshort line\n\nA line of Latin words that is long enough to wrap at a blank somewhere."
                        "\n「次の日も、その次の日も、わたしはここで待っているから。」▼");

TEST(WrappedTextTest, DrawsExactlyAsAWordWrappingLabel)
{
    // A page taller than the area, shown from its bottom, as a long page scrolls.
    QString tall = kPage;
    for (int i = 0; i < 30; ++i)
        tall += "\n" + QString::number(i) + QString::fromUtf8("行目の文章");
    const std::pair<QString, Qt::Alignment> kCases[] = {
        { kPage, Qt::AlignLeft | Qt::AlignTop },
        { kPage, Qt::AlignHCenter | Qt::AlignTop },
        { kPage, Qt::AlignLeft | Qt::AlignBottom },
        { QString("0"), Qt::AlignHCenter | Qt::AlignTop },
    };
    for (const auto& [text, alignment] : kCases) {
        SCOPED_TRACE(text.left(8).toStdString() + " " + std::to_string(alignment));
        WrappedText wrapped;
        wrapped.SetText(text);
        const QImage label = LabelPicture(text, alignment);
        EXPECT_GT(RedPixels(label), 10);
        EXPECT_EQ(DifferentPixels(WrappedPicture(wrapped, alignment), label), 0);
    }

    // Bottom-aligned, it shows the end of the page: what a label tall enough for the whole
    // page shows in its last rows. (A label itself would show the beginning.)
    WrappedText wrapped;
    wrapped.SetFont(MessageFont());
    wrapped.SetText(tall);
    const int whole = static_cast<int>(std::ceil(wrapped.Height(kWidth)));
    ASSERT_GT(whole, kHeight);
    const QImage end
        = LabelPicture(tall, Qt::AlignLeft | Qt::AlignBottom, whole).copy(0, whole - kHeight, kWidth, kHeight);
    const QImage ours = WrappedPicture(wrapped, Qt::AlignLeft | Qt::AlignBottom);
    EXPECT_EQ(DifferentPixels(ours, end), 0);
}

TEST(WrappedTextTest, GrowingPageDrawsAsTheWholePageLaidOutAnew)
{
    WrappedText grown;
    const QStringList lines = kPage.split(u'\n');
    QString page;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        page += (i > 0 ? "\n" : "") + lines[i];
        grown.SetText(page);
        (void)grown.Height(kWidth);
    }
    // A page cleared and begun again must not keep the old page's lines.
    WrappedText fresh;
    fresh.SetText(page);
    EXPECT_EQ(DifferentPixels(WrappedPicture(grown, Qt::AlignLeft), WrappedPicture(fresh, Qt::AlignLeft)), 0);
    grown.SetText("\nnew page");
    fresh.SetText("\nnew page");
    EXPECT_EQ(DifferentPixels(WrappedPicture(grown, Qt::AlignLeft), WrappedPicture(fresh, Qt::AlignLeft)), 0);
    EXPECT_EQ(grown.Height(kWidth), fresh.Height(kWidth));
}

TEST(WrappedTextTest, HeightFollowsWidthAndFont)
{
    WrappedText wrapped;
    wrapped.SetFont(MessageFont());
    wrapped.SetText(kPage);
    const qreal wide = wrapped.Height(kWidth);
    EXPECT_GT(wrapped.Height(kWidth / 2), wide);
    EXPECT_EQ(wrapped.Height(kWidth), wide);
    QFont larger = MessageFont();
    larger.setPointSizeF(24);
    wrapped.SetFont(larger);
    EXPECT_GT(wrapped.Height(kWidth), wide);
    wrapped.SetText("");
    EXPECT_GT(wrapped.Height(kWidth), 0) << "an empty text is one empty line, as a label shows it";
}

} // namespace
} // namespace miradel
