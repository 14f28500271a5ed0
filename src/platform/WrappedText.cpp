// SPDX-License-Identifier: MIT
#include "platform/WrappedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTextOption>

#include <cmath>

namespace miradel {

void WrappedText::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    const QStringList lines = text.split(u'\n');
    const auto count = static_cast<std::size_t>(lines.size());
    // Paragraphs are kept as long as the text before them is the same.
    std::size_t kept = 0;
    while (kept < count && kept < m_paragraphs.size() && m_paragraphs[kept].text == lines[static_cast<qsizetype>(kept)])
        ++kept;
    m_paragraphs.resize(kept);
    m_paragraphs.reserve(count);
    for (std::size_t i = kept; i < count; ++i) {
        Paragraph paragraph;
        paragraph.text = lines[static_cast<qsizetype>(i)];
        if (!m_stale)
            LayOut(paragraph);
        m_paragraphs.push_back(std::move(paragraph));
    }
}

void WrappedText::SetFont(const QFont& font)
{
    if (font == m_font && font.resolveMask() == m_font.resolveMask())
        return;
    m_font = font;
    m_stale = true;
}

void WrappedText::SetAlignment(Qt::Alignment horizontal)
{
    horizontal &= Qt::AlignHorizontal_Mask;
    if (horizontal == m_alignment)
        return;
    m_alignment = horizontal;
    m_stale = true;
}

// As a label lays out its lines: each starts on a whole pixel, the font's leading below the
// one before, and the text ends at the last line's own height, not rounded up.
static qreal NextLineTop(qreal bottom, qreal leading)
{
    return std::ceil(bottom + leading);
}

qreal WrappedText::Height(qreal width)
{
    Relayout(width);
    const qreal leading = QFontMetricsF(m_font).leading();
    qreal bottom = 0;
    for (const Paragraph& paragraph : m_paragraphs)
        bottom = (&paragraph == &m_paragraphs.front() ? 0 : NextLineTop(bottom, leading)) + paragraph.height;
    return bottom;
}

void WrappedText::Draw(QPainter& painter, const QRectF& area, Qt::Alignment vertical)
{
    const qreal height = Height(area.width());
    const qreal leading = QFontMetricsF(m_font).leading();
    qreal origin = area.top();
    if (vertical & Qt::AlignBottom)
        origin = area.bottom() - height;
    else if (vertical & Qt::AlignVCenter)
        origin = area.top() + (area.height() - height) / 2;
    qreal bottom = 0;
    for (const Paragraph& paragraph : m_paragraphs) {
        const qreal top = origin + (&paragraph == &m_paragraphs.front() ? 0 : NextLineTop(bottom, leading));
        if (top > area.bottom())
            break;
        if (top + paragraph.height >= area.top())
            paragraph.layout->draw(&painter, QPointF(area.left(), top));
        bottom = top - origin + paragraph.height;
    }
}

void WrappedText::Relayout(qreal width)
{
    if (!m_stale && width == m_width)
        return;
    m_width = width;
    m_stale = false;
    for (Paragraph& paragraph : m_paragraphs)
        LayOut(paragraph);
}

void WrappedText::LayOut(Paragraph& paragraph) const
{
    paragraph.layout = std::make_unique<QTextLayout>(paragraph.text, m_font);
    QTextOption option(m_alignment);
    option.setWrapMode(QTextOption::WordWrap);
    paragraph.layout->setTextOption(option);
    paragraph.layout->setCacheEnabled(true);
    const qreal leading = QFontMetricsF(m_font).leading();
    qreal height = 0;
    paragraph.layout->beginLayout();
    for (QTextLine line = paragraph.layout->createLine(); line.isValid(); line = paragraph.layout->createLine()) {
        line.setLineWidth(m_width);
        if (line.lineNumber() > 0)
            height = NextLineTop(height, leading);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
    }
    paragraph.layout->endLayout();
    paragraph.height = height;
}

} // namespace miradel
