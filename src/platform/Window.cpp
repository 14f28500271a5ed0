#include "platform/Window.h"

#include "platform/Controls.h"
#include "platform/FatalError.h"
#include "platform/FirstFrame.h"
#include "platform/WindowIcon.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace miradel {

class FormWidget final : public QWidget {
public:
    explicit FormWidget(Window& owner)
        : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
        , m_owner(owner)
    {
        setAutoFillBackground(true);
        setWindowIcon(ProgramIcon());
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_owner.ReplaceAllControls();
        // Our own assignments raise the handler themselves; this is a change from outside.
        if (m_owner.m_resizeDepth == 0 && !m_owner.IsMinimized())
            RunGuarded([this] { m_owner.RaiseResize(); });
    }

    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        // Restoring from the task bar lays the window out again.
        if (event->type() == QEvent::WindowStateChange && !m_owner.IsMinimized() && m_owner.m_activated)
            RunGuarded([this] { m_owner.RaiseResize(); });
    }

    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        if (!m_owner.m_activated)
            QTimer::singleShot(0, this, [this] { RunGuarded([this] { m_owner.RaiseFirstActivate(); }); });
    }

    // A transparent label's text is painted over this widget, so the frame that shows the
    // first line paints it too.
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        if (m_owner.m_activated && !m_firstFrameMarked) {
            m_firstFrameMarked = true;
            QTimer::singleShot(0, this, [] { MarkFirstFrameShown(); });
        }
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        RunGuarded([this] { m_owner.RaiseUnload(); });
    }

private:
    Window& m_owner;
    bool m_firstFrameMarked = false;
};

Window::Window()
    : m_widget(std::make_unique<FormWidget>(*this))
{
}

Window::~Window() = default;

QWidget* Window::Widget() const
{
    return m_widget.get();
}

void Window::SetTitle(TextView title)
{
    m_widget->setWindowTitle(QString::fromStdU16String(Text(title)));
}

void Window::Show()
{
    m_widget->show();
}

void Window::Close()
{
    m_widget->close();
}

static QScreen* ScreenOf(const QWidget& widget)
{
    QScreen* screen = widget.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

float Window::TwipsPerPixel() const
{
    const QScreen* screen = ScreenOf(*m_widget);
    const double dpi = screen && screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : 96.0;
    return static_cast<float>(1440.0 / dpi);
}

float Window::ScreenHeightTwips() const
{
    const QScreen* screen = ScreenOf(*m_widget);
    const int pixels = screen ? screen->geometry().height() : 768;
    return static_cast<float>(pixels) * TwipsPerPixel();
}

// The frame the window manager adds around the inner area (none without one).
static QSize FrameExtra(const QWidget& widget)
{
    const QRect frame = widget.frameGeometry();
    const QRect inner = widget.geometry();
    return { std::max(0, frame.width() - inner.width()), std::max(0, frame.height() - inner.height()) };
}

float Window::WidthTwips() const
{
    if (IsFullScreen())
        return static_cast<float>(m_gameArea.width) * TwipsPerPixel();
    return static_cast<float>(m_widget->width() + FrameExtra(*m_widget).width()) * TwipsPerPixel();
}

float Window::HeightTwips() const
{
    if (IsFullScreen())
        return static_cast<float>(m_gameArea.height) * TwipsPerPixel();
    return static_cast<float>(m_widget->height() + FrameExtra(*m_widget).height()) * TwipsPerPixel();
}

static int ToWholePixels(float twips, float twipsPerPixel, int frame)
{
    const double pixels = std::lround(static_cast<double>(twips) / twipsPerPixel) - frame;
    return static_cast<int>(std::clamp(pixels, 1.0, 16384.0));
}

void Window::SetWidthTwips(float width)
{
    const int inner = ToWholePixels(width, TwipsPerPixel(), FrameExtra(*m_widget).width());
    ResizeOuter(inner, m_widget->height());
}

void Window::SetHeightTwips(float height)
{
    const int inner = ToWholePixels(height, TwipsPerPixel(), FrameExtra(*m_widget).height());
    ResizeOuter(m_widget->width(), inner);
}

void Window::ResizeOuter(int widthPixels, int heightPixels)
{
    if (widthPixels == m_widget->width() && heightPixels == m_widget->height())
        return;
    ++m_resizeDepth;
    // A fixed size: the frame cannot be dragged to another size.
    m_widget->setFixedSize(widthPixels, heightPixels);
    ReplaceAllControls();
    // The size really changed: the resize handler runs now, nested in this assignment.
    RaiseResize();
    --m_resizeDepth;
}

void Window::SetUserScale(const UserScale& scale)
{
    m_scale = scale;
    ReplaceAllControls();
}

void Window::SetBackColor(PackedColor color)
{
    m_backColor = color;
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    m_widget->setPalette(palette);
}

bool Window::IsMinimized() const
{
    return m_widget->isMinimized();
}

void Window::SetFullScreen(bool fullScreen)
{
    if (fullScreen == IsFullScreen())
        return;
    if (fullScreen) {
        // The window's fixed size would keep it from covering the screen.
        m_widget->setMinimumSize(0, 0);
        m_widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_gameArea = InnerPixels();
        m_windowedPosition = m_widget->geometry().topLeft();
        // Without a window manager nobody else gives the window the screen; asked first,
        // a window manager then makes it full screen as it knows how. (A widget's own
        // geometry change would take it out of full screen again.)
        const QScreen* screen = ScreenOf(*m_widget);
        if (screen && m_widget->windowHandle())
            m_widget->windowHandle()->setGeometry(screen->geometry());
        m_widget->showFullScreen();
    } else {
        m_widget->showNormal();
        if (m_widget->windowHandle())
            m_widget->windowHandle()->setPosition(m_windowedPosition);
    }
    // The window system may apply the new size later; its resize event lays out again.
    RaiseResize();
}

bool Window::IsFullScreen() const
{
    return m_widget->isFullScreen();
}

Window::PixelRect Window::InnerPixels() const
{
    return { 0, 0, m_widget->width(), m_widget->height() };
}

void Window::SetGameArea(const PixelRect& area)
{
    m_gameArea = area;
    ReplaceAllControls();
}

Window::PixelRect Window::GameArea() const
{
    return IsFullScreen() ? m_gameArea : InnerPixels();
}

void Window::Adopt(Control& control)
{
    m_controls.push_back(&control);
}

void Window::Forget(Control& control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), &control), m_controls.end());
}

Window::PixelRect Window::ToPixels(float left, float top, float width, float height) const
{
    const PixelRect area = GameArea();
    const double scaleX = area.width / static_cast<double>(m_scale.width);
    const double scaleY = area.height / static_cast<double>(m_scale.height);
    const auto x0 = std::lround((left - m_scale.left) * scaleX);
    const auto y0 = std::lround((top - m_scale.top) * scaleY);
    const auto x1 = std::lround((left + width - m_scale.left) * scaleX);
    const auto y1 = std::lround((top + height - m_scale.top) * scaleY);
    return { area.x + static_cast<int>(x0), area.y + static_cast<int>(y0), static_cast<int>(x1 - x0),
        static_cast<int>(y1 - y0) };
}

void Window::ReplaceAllControls()
{
    for (Control* control : m_controls)
        control->Replace();
}

void Window::RaiseResize()
{
    if (m_onResize)
        m_onResize();
}

void Window::RaiseFirstActivate()
{
    if (m_activated)
        return;
    m_activated = true;
    if (m_onFirstActivate)
        m_onFirstActivate();
}

void Window::RaiseUnload()
{
    if (m_onUnload)
        m_onUnload();
}

} // namespace miradel
