#include "platform/Controls.h"

#include "platform/FatalError.h"
#include "platform/Window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

namespace miradel {

static QColor ToQColor(PackedColor color)
{
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

Control::Control(Window& window, QWidget* widget)
    : m_window(window)
    , m_widget(widget)
{
    m_widget->hide();
    m_window.Adopt(*this);
}

Control::~Control()
{
    m_window.Forget(*this);
}

void Control::SetVisible(bool visible)
{
    m_visible = visible;
    m_widget->setVisible(visible);
    // A control that reads keys takes the keyboard when it appears.
    if (visible && m_widget->focusPolicy() == Qt::StrongFocus && !m_widget->inherits("QAbstractButton"))
        m_widget->setFocus(Qt::OtherFocusReason);
}

void Control::Move(float left, float top, float width, float height)
{
    m_place = { left, top, width, height };
    m_placed = true;
    Replace();
}

void Control::Replace()
{
    if (!m_placed)
        return;
    const Window::PixelRect rect = m_window.ToPixels(m_place[0], m_place[1], m_place[2], m_place[3]);
    m_widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void Control::SetFontSize(float points)
{
    m_fontSize = points;
    QFont font = m_widget->font();
    if (points > 0)
        font.setPointSizeF(points);
    m_widget->setFont(font);
}

void Control::SetBackColor(PackedColor color)
{
    m_backColor = color;
    ApplyColors();
}

void Control::SetForeColor(PackedColor color)
{
    m_foreColor = color;
    ApplyColors();
}

void Control::ApplyColors()
{
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Window, ToQColor(m_backColor));
    palette.setColor(QPalette::WindowText, ToQColor(m_foreColor));
    m_widget->setPalette(palette);
}

// A QLabel that reports clicks: a press and release of the left button inside it, as a
// click on a label works on a desktop.
class ClickableLabel final : public QLabel {
public:
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_pressed = event->button() == Qt::LeftButton;
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click)
            Fire();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            Fire();
            return;
        default:
            QLabel::keyPressEvent(event);
        }
    }
    void wheelEvent(QWheelEvent* event) override
    {
        // Turning the wheel towards the reader reads on, like a click.
        if (event->angleDelta().y() < 0)
            Fire();
        event->accept();
    }

private:
    void Fire()
    {
        if (onClick)
            RunGuarded(onClick);
    }
    bool m_pressed = false;
};

// A line so long that it wraps past any screen shows the same with only its beginning: the
// label then never lays out megabytes of text.
static constexpr std::size_t kLongestShownLine = 8192;

static QString ShownText(const Text& caption)
{
    QString shown;
    shown.reserve(static_cast<qsizetype>(std::min<std::size_t>(caption.size(), 65536)));
    std::size_t lineStart = 0;
    while (lineStart <= caption.size()) {
        std::size_t lineEnd = caption.find(u"\r\n", lineStart);
        const bool last = lineEnd == Text::npos;
        if (last)
            lineEnd = caption.size();
        const std::size_t length = std::min(lineEnd - lineStart, kLongestShownLine);
        shown.append(QStringView(caption.data() + lineStart, static_cast<qsizetype>(length)));
        if (last)
            break;
        shown.append(QChar(u'\n'));
        lineStart = lineEnd + 2;
    }
    return shown;
}

Label::Label(Window& window, TextView caption, TextAlignment alignment)
    : Control(window, new ClickableLabel)
    , m_caption(caption)
{
    m_widget->setParent(window.Widget());
    m_widget->hide();
    QLabel* label = TheLabel();
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(alignment == TextAlignment::Center ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    label->setText(ShownText(m_caption));
    label->setAutoFillBackground(true);
    ApplyColors();
}

QLabel* Label::TheLabel() const
{
    return static_cast<QLabel*>(m_widget);
}

void Label::SetCaption(TextView caption)
{
    m_caption = caption;
    // A step may set the caption thousands of times; the screen needs only the last one.
    if (!m_flushPending) {
        m_flushPending = true;
        QTimer::singleShot(0, m_widget, [this] { FlushCaption(); });
    }
}

void Label::FlushCaption()
{
    m_flushPending = false;
    const QString shown = ShownText(m_caption);
    if (TheLabel()->text() != shown)
        TheLabel()->setText(shown);
}

void Label::SetTransparent(bool transparent)
{
    m_transparent = transparent;
    ApplyColors();
}

void Label::ApplyColors()
{
    Control::ApplyColors();
    m_widget->setAutoFillBackground(!m_transparent);
}

void Label::OnClick(std::function<void()> handler)
{
    static_cast<ClickableLabel*>(m_widget)->onClick = std::move(handler);
    // While shown, the message area reads on from the keyboard too.
    m_widget->setFocusPolicy(Qt::StrongFocus);
}

Button::Button(Window& window, TextView caption)
    : Control(window, new QPushButton(window.Widget()))
    , m_caption(caption)
{
    auto* button = static_cast<QPushButton*>(m_widget);
    button->setText(QString::fromStdU16String(m_caption));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this] {
        if (m_onClick)
            RunGuarded(m_onClick);
    });
    ApplyColors();
}

void Button::OnClick(std::function<void()> handler)
{
    m_onClick = std::move(handler);
}

void Button::ApplyColors()
{
    // The face is painted in the button's own back colour.
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Button, ToQColor(BackColor()));
    palette.setColor(QPalette::Window, ToQColor(BackColor()));
    m_widget->setPalette(palette);
}

} // namespace miradel
