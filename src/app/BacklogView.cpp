// SPDX-License-Identifier: MIT
#include "app/BacklogView.h"

#include "platform/Controls.h"
#include "reading/ReadingKeys.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>

namespace miradel {

BacklogView::BacklogView(QWidget& window)
    : m_text(new QPlainTextEdit(&window))
{
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setTextInteractionFlags(Qt::NoTextInteraction);
    // The keyboard stays where it was, so that closing returns to the page exactly.
    m_text->setFocusPolicy(Qt::NoFocus);
    m_text->viewport()->setCursor(Qt::ArrowCursor);
    m_text->setAccessibleName(QStringLiteral("既読の文章"));
    m_text->hide();
}

BacklogView::~BacklogView() = default;

void BacklogView::Open(TextView history, const Label& messageArea, PackedColor backColor)
{
    QPalette palette = m_text->palette();
    const PackedColor fore = messageArea.ForeColor();
    palette.setColor(QPalette::Base, QColor(RedOf(backColor), GreenOf(backColor), BlueOf(backColor)));
    palette.setColor(QPalette::Text, QColor(RedOf(fore), GreenOf(fore), BlueOf(fore)));
    m_text->setPalette(palette);
    m_text->setFont(messageArea.Widget()->font());
    m_text->document()->setDocumentMargin(0);
    m_text->setGeometry(messageArea.Widget()->geometry());
    m_text->setPlainText(QString::fromStdU16String(Text(history)));
    m_open = true;
    m_text->show();
    m_text->raise();
    QScrollBar* bar = m_text->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void BacklogView::Close()
{
    m_open = false;
    m_text->hide();
    m_text->clear();
}

bool BacklogView::IsOpen() const
{
    return m_open;
}

bool BacklogView::Scroll(int lines)
{
    QScrollBar* bar = m_text->verticalScrollBar();
    const std::optional<int> first = BacklogScrolled(bar->value(), bar->maximum(), lines);
    if (!first) {
        Close();
        return false;
    }
    bar->setValue(*first);
    return true;
}

int BacklogView::LinesPerPage() const
{
    return std::max(1, m_text->verticalScrollBar()->pageStep());
}

int BacklogView::FirstLineShown() const
{
    return m_text->verticalScrollBar()->value();
}

int BacklogView::LastFirstLine() const
{
    return m_text->verticalScrollBar()->maximum();
}

} // namespace miradel
