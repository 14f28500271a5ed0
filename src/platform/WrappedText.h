// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;

namespace miradel {

// Plain text wrapped at word boundaries to a width, as a word-wrapping label shows it, laid
// out paragraph by paragraph. A page grows by one line per step, so the paragraphs that did
// not change keep their layout and a step lays out only its own line.
class WrappedText {
public:
    void SetText(const QString& text);
    const QString& Text() const { return m_text; }
    void SetFont(const QFont& font);
    void SetAlignment(Qt::Alignment horizontal);

    // The height of the whole text wrapped to the width.
    qreal Height(qreal width);
    void Draw(QPainter& painter, const QRectF& area, Qt::Alignment vertical);

private:
    struct Paragraph {
        QString text;
        std::unique_ptr<QTextLayout> layout;
        qreal height = 0; // from its first line's top to its last line's own bottom
    };

    void Relayout(qreal width);
    void LayOut(Paragraph& paragraph) const;

    QString m_text;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    std::vector<Paragraph> m_paragraphs;
    qreal m_width = -1;
    bool m_stale = true;
};

} // namespace miradel
