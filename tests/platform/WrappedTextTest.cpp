// SPDX-License-Identifier: MIT
#include "platform/WrappedText.h"

#include "platform/Fonts.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace miradel {
namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 400;

// What a word-wrapping QLabel shows of the text: the look the message area has always had.
QImage LabelPicture(const QString& text, Qt::Alignment alignment, const QFont& font, int height = kHeight)
{
    // A child widget, so that no screen limits its size.
    QWidget parent;
    parent.resize(kWidth, height);
    QLabel label(&parent);
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setAlignment(alignment);
    label.setFont(font);
    label.setText(text);
    label.resize(kWidth, height);
    label.setAutoFillBackground(true);
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

const QString kPage
    = QString::fromUtf8("\n塔の上で、ミラは雲を織っていた。白い糸は風に乗り、どこまでも、どこまでも続いていく。"
                        "\nshort line\n\nA line of Latin words that is long enough to wrap at a blank somewhere."
                        "\n「次の日も、その次の日も、わたしはここで待っているから。」▼");

// One object draws every case, its page grown line by line and measured at another width, as
// the message area does: nothing of an earlier page, font, alignment or width may stay. A page
// taller than the area shows its end, as the last rows of a label tall enough for all of it.
// In the toolkit's font and in the Japanese one the window uses, whose lines are not a whole
// number of pixels high.
TEST(WrappedTextTest, DrawsExactlyAsAWordWrappingLabel)
{
    const QFont toolkit = QApplication::font();
    ChooseJapaneseInterfaceFont();
    const QFont japanese = QApplication::font();
    QApplication::setFont(toolkit);
    QString tall = kPage;
    for (int i = 0; i < 30; ++i)
        tall += "\n" + QString::number(i) + QString::fromUtf8("行目の文章");
    const std::tuple<QString, Qt::Alignment, qreal, QFont> kCases[] = {
        { kPage, Qt::AlignLeft | Qt::AlignTop, 12, toolkit },
        { kPage, Qt::AlignLeft | Qt::AlignBottom, 12, toolkit },
        // Then only the font changes, then only the alignment.
        { kPage, Qt::AlignLeft | Qt::AlignTop, 20, toolkit },
        { kPage, Qt::AlignHCenter | Qt::AlignTop, 20, toolkit },
        { QString("0"), Qt::AlignHCenter | Qt::AlignTop, 12, toolkit },
        { tall, Qt::AlignLeft | Qt::AlignBottom, 12, toolkit },
        { kPage, Qt::AlignLeft | Qt::AlignBottom, 12, japanese },
        { tall, Qt::AlignLeft | Qt::AlignBottom, 12, japanese },
        { kPage, Qt::AlignLeft | Qt::AlignTop, 9, japanese },
    };
    WrappedText wrapped;
    for (const auto& [text, alignment, points, family] : kCases) {
        SCOPED_TRACE(text.left(8).toStdString() + " " + std::to_string(alignment) + " " + std::to_string(points) + " "
            + family.family().toStdString());
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 1; i <= lines.size(); ++i) {
            wrapped.SetText(lines.first(i).join(u'\n'));
            (void)wrapped.Height(kWidth / 2);
        }
        (void)wrapped.Height(kWidth);
        QFont font = family;
        font.setPointSizeF(points);
        wrapped.SetFont(font);
        wrapped.SetAlignment(alignment);
        QImage ours(kWidth, kHeight, QImage::Format_RGB32);
        ours.fill(QPalette().color(QPalette::Window));
        QPainter painter(&ours);
        painter.setPen(QPalette().color(QPalette::WindowText));
        wrapped.Draw(painter, QRectF(0, 0, kWidth, kHeight), alignment & Qt::AlignVertical_Mask);
        painter.end();
        const int whole = std::max(kHeight, static_cast<int>(std::ceil(wrapped.Height(kWidth))));
        const int top = alignment & Qt::AlignBottom ? whole - kHeight : 0;
        const QImage label = LabelPicture(text, alignment, font, whole).copy(0, top, kWidth, kHeight);
        EXPECT_NE(label, LabelPicture("", alignment, font)) << "the label shows nothing";
        EXPECT_EQ(ours, label);
    }
    EXPECT_GT(wrapped.Height(kWidth / 2), wrapped.Height(kWidth));
    wrapped.SetText("");
    EXPECT_GT(wrapped.Height(kWidth), 0) << "an empty text is one empty line, as a label shows it";
}

} // namespace
} // namespace miradel
