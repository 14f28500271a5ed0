// SPDX-License-Identifier: MIT
#include "platform/Controls.h"

#include "platform/FatalError.h"
#include "platform/Keyboard.h"
#include "platform/Window.h"
#include "platform/WrappedText.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
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

static constexpr const char* kOnlyWhenMovedThere = "miradelKeyboardOnlyWhenMovedThere";

static bool TakesKeyboardUnasked(const QWidget& widget)
{
    return TakesKeyboard(widget) && !widget.property(kOnlyWhenMovedThere).toBool();
}

// The control that has the window's keyboard now, or null while it rests on none.
static QWidget* ShownFocus(const QWidget& widget)
{
    QWidget* focus = widget.window()->focusWidget();
    return focus && TakesKeyboard(*focus) ? focus : nullptr;
}

// The keyboard moves on, in tab order, to the next control shown that may take it unasked;
// without one it rests on the window itself.
static void PassFocusOn(QWidget& leaving)
{
    for (QWidget* next = leaving.nextInFocusChain(); next && next != &leaving; next = next->nextInFocusChain()) {
        if (next->window() == leaving.window() && TakesKeyboardUnasked(*next)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    leaving.window()->setFocus(Qt::OtherFocusReason);
}

void Control::SetKeyboardOnlyWhenMovedThere()
{
    m_widget->setProperty(kOnlyWhenMovedThere, true);
}

void Control::SetVisible(bool visible)
{
    if (visible && m_onShowAsked)
        m_onShowAsked();
    const bool hadFocus = m_widget->window()->focusWidget() == m_widget;
    m_visible = visible;
    m_widget->setVisible(visible);
    if (visible) {
        // The message area takes the keyboard when it appears; a button takes it only when
        // no control has it and it may take it unasked, so that a game can be played without
        // a mouse. Tab focus: its frame shows where the keyboard is.
        const bool messageArea = m_widget->focusPolicy() == Qt::StrongFocus && !m_widget->inherits("QAbstractButton");
        if (messageArea)
            m_widget->setFocus(Qt::OtherFocusReason);
        else if (TakesKeyboardUnasked(*m_widget) && !ShownFocus(*m_widget))
            m_widget->setFocus(Qt::TabFocusReason);
    } else if (hadFocus) {
        // The toolkit may have passed the keyboard on already, perhaps to a control that must
        // not take it unasked.
        const QWidget* now = ShownFocus(*m_widget);
        if (!now || !TakesKeyboardUnasked(*now))
            PassFocusOn(*m_widget);
    }
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
// click on a label works on a desktop. Space, Enter, Down and a turn of the wheel towards
// the reader are clicks too, so that the story reads on without a mouse.
class ClickableLabel final : public QLabel {
    Q_OBJECT

public:
    std::function<void()> onClick;
    // Brings the shown text up to date with the caption before anyone reads it.
    std::function<void()> beforeRead;

    void Click()
    {
        if (onClick)
            RunGuarded(onClick);
    }

    // The text is drawn here rather than by QLabel, which lays out the whole page again on
    // every change, and twice to learn its height.
    const QString& ShownText() const { return m_wrapped.Text(); }
    void SetShownText(const QString& text)
    {
        m_wrapped.SetText(text);
        update();
    }
    qreal TextHeight()
    {
        Prepare();
        return m_wrapped.Height(contentsRect().width());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        Prepare();
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        m_wrapped.Draw(painter, contentsRect(), alignment() & Qt::AlignVertical_Mask);
    }

    void mousePressEvent(QMouseEvent* event) override { m_pressed = event->button() == Qt::LeftButton; }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click
            = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click)
            Click();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!HandleKeyPress(KeyPlace::Reading, *this, *event, [this] { Click(); }))
            QLabel::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        // One notch is one click; a touchpad's many small steps add up to notches. The
        // direction is that of the wheel itself, whatever the system's scrolling setting.
        const int delta = event->inverted() ? -event->angleDelta().y() : event->angleDelta().y();
        if (delta > 0) {
            m_wheelTowardsReader = 0;
        } else {
            m_wheelTowardsReader -= delta;
            for (; m_wheelTowardsReader >= kWheelNotch; m_wheelTowardsReader -= kWheelNotch)
                Click();
        }
        event->accept();
    }

private:
    void Prepare()
    {
        m_wrapped.SetFont(font());
        m_wrapped.SetAlignment(alignment());
    }

    static constexpr int kWheelNotch = 120;
    WrappedText m_wrapped;
    bool m_pressed = false;
    int m_wheelTowardsReader = 0;
};

// What a screen reader sees of a label: its caption as it is now, even before the screen
// shows it, and, for the message area, a press action that reads on.
class LabelAccessible final : public QAccessibleWidget {
public:
    explicit LabelAccessible(ClickableLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(kind);
        if (TheLabel()->beforeRead)
            TheLabel()->beforeRead();
        return TheLabel()->ShownText();
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (TheLabel()->onClick)
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() && TheLabel()->onClick)
            TheLabel()->Click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ClickableLabel* TheLabel() const { return static_cast<ClickableLabel*>(widget()); }
};

static QAccessibleInterface* LabelAccessibleFactory(const QString& className, QObject* object)
{
    auto* label = qobject_cast<ClickableLabel*>(object);
    if (className != QLatin1String(ClickableLabel::staticMetaObject.className()) || !label)
        return nullptr;
    return new LabelAccessible(label);
}

static void InstallLabelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(LabelAccessibleFactory);
        return true;
    }();
    (void)installed;
}

// A line so long that it wraps past any screen shows the same with only its beginning: the
// label then never lays out megabytes of text.
static constexpr std::size_t kLongestShownLine = 8192;

static QString ShownCaption(const Text& caption)
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
    InstallLabelAccessibility();
    static_cast<ClickableLabel*>(m_widget)->beforeRead = [this] {
        if (m_flushPending)
            FlushCaption();
    };
    m_widget->setParent(window.Widget());
    m_widget->hide();
    ClickableLabel* label = TheLabel();
    label->setAlignment(
        alignment == TextAlignment::Center ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    label->SetShownText(ShownCaption(m_caption));
    label->setAutoFillBackground(true);
    ApplyColors();
}

ClickableLabel* Label::TheLabel() const
{
    return static_cast<ClickableLabel*>(m_widget);
}

void Label::SetCaption(TextView caption)
{
    if (m_onCaptionChange)
        m_onCaptionChange(m_caption, caption);
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
    const QString shown = ShownCaption(m_caption);
    if (TheLabel()->ShownText() != shown) {
        TheLabel()->SetShownText(shown);
        KeepNewestLineInView();
    }
}

void Label::KeepNewestLineInView()
{
    // A page taller than the label scrolls: its newest line, the one being read, stays on
    // show instead of running off the bottom.
    ClickableLabel* label = TheLabel();
    const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
    const bool tooTall = label->TextHeight() > label->contentsRect().height();
    label->setAlignment(horizontal | (tooTall ? Qt::AlignBottom : Qt::AlignTop));
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

class PushButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!HandleKeyPress(KeyPlace::Button, *this, *event, [this] { click(); }))
            QPushButton::keyPressEvent(event);
    }
};

Button::Button(Window& window, TextView caption)
    : Control(window, new PushButton(window.Widget()))
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

#include "Controls.moc"
