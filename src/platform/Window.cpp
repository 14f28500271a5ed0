// SPDX-License-Identifier: MIT
#include "platform/Window.h"

#include "platform/Controls.h"
#include "platform/FatalError.h"
#include "platform/FirstFrame.h"
#include "platform/Keyboard.h"
#include "platform/WindowIcon.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <utility>

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

    // The window system's answers to sizes, ours or its own, pass here before they reach
    // the widget.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Full screen, the size is the screen's, no answer to ours.
        if (watched == windowHandle() && event->type() == QEvent::Resize && !m_owner.IsFullScreen()) {
            const QSize answer = static_cast<QResizeEvent*>(event)->size();
            m_owner.NoteSizeAnswer(answer.width(), answer.height());
        }
        // Where the frame could not be asked for beforehand, the toolkit may know it by the
        // time the window is first to be painted.
        if (watched == windowHandle() && event->type() == QEvent::Expose)
            m_owner.LearnFrame();
        return QWidget::eventFilter(watched, event);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_owner.ReplaceAllControls();
        if (m_owner.IsFullScreen()) {
            // The screen's size came: the game area is laid out again inside it.
            RunGuarded([this] { m_owner.RaiseResize(); });
            return;
        }
        // Our own assignments raise the handler themselves; this is a change from outside,
        // unless it is the window system refusing a size we set.
        if (m_owner.TakeKeptAnswer() || m_owner.m_resizeDepth != 0 || m_owner.IsMinimized())
            return;
        m_owner.m_sizeAnswers.SettingBack(width(), height());
        RunGuarded([this] { m_owner.RaiseResize(); });
    }

    // The keys that reach the window itself: the keyboard rests on no control.
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!HandleKeyPress(KeyPlace::Resting, *this, *event, {}))
            QWidget::keyPressEvent(event);
    }

    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        // Mapping puts the window into its frame: now the frame is known for sure.
        m_owner.LearnFrame();
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
    // The first layout run comes with the show, before the window is mapped: it needs the
    // frame by then for the window's outer size to be right from the first frame on.
    // A window manager frames a window that cannot be resized differently (no resize handle):
    // it must know that before it answers.
    m_widget->setFixedSize(m_widget->size());
    const std::optional<FrameExtents> frame = FrameBeforeMapping(*m_widget);
    m_frameless = frame == FrameExtents {};
    if (frame)
        m_frame = *frame;
    if (QWindow* handle = m_widget->windowHandle())
        handle->installEventFilter(m_widget.get());
    m_widget->show();
}

void Window::LearnFrame()
{
    // Without a manager the toolkit may take the screen around the window for a frame.
    const QWindow* handle = m_widget->windowHandle();
    if (m_frameless || !handle || !m_widget->isVisible())
        return;
    const QMargins margins = handle->frameMargins();
    const FrameExtents frame { margins.left(), margins.top(), margins.right(), margins.bottom() };
    // A frame the toolkit does not know yet reads as none, and never replaces a known one.
    if (margins.isNull() || frame == m_frame)
        return;
    m_frame = frame;
    if (!IsMinimized())
        RunGuarded([this] { RaiseResize(); });
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

float Window::AvailableWidthTwips() const
{
    const QScreen* screen = ScreenOf(*m_widget);
    return static_cast<float>(screen ? screen->availableGeometry().width() : 1024) * TwipsPerPixel();
}

float Window::AvailableHeightTwips() const
{
    const QScreen* screen = ScreenOf(*m_widget);
    return static_cast<float>(screen ? screen->availableGeometry().height() : 768) * TwipsPerPixel();
}

float Window::WidthTwips() const
{
    if (IsFullScreen())
        return static_cast<float>(m_gameArea.width) * TwipsPerPixel();
    return static_cast<float>(m_widget->width() + m_frame.Width()) * TwipsPerPixel();
}

float Window::HeightTwips() const
{
    if (IsFullScreen())
        return static_cast<float>(m_gameArea.height) * TwipsPerPixel();
    return static_cast<float>(m_widget->height() + m_frame.Height()) * TwipsPerPixel();
}

static int ToWholePixels(float twips, float twipsPerPixel, int frame)
{
    const double pixels = std::lround(static_cast<double>(twips) / twipsPerPixel) - frame;
    return static_cast<int>(std::clamp(pixels, 1.0, 16384.0));
}

void Window::SetWidthTwips(float width)
{
    const int inner = ToWholePixels(width, TwipsPerPixel(), m_frame.Width());
    ResizeOuter(inner, m_widget->height());
}

void Window::SetHeightTwips(float height)
{
    const int inner = ToWholePixels(height, TwipsPerPixel(), m_frame.Height());
    ResizeOuter(m_widget->width(), inner);
}

void Window::ResizeOuter(int widthPixels, int heightPixels)
{
    const QSize before = m_widget->size();
    const QSize wanted(widthPixels, heightPixels);
    if (wanted == before)
        return;
    ++m_resizeDepth;
    const struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave { m_resizeDepth };
    // A fixed size: the frame cannot be dragged to another size. After a size forced on the
    // window from outside the limits are already these and setFixedSize() alone moves nothing.
    m_widget->setFixedSize(wanted);
    m_widget->resize(wanted);
    if (m_widget->isVisible())
        m_sizeAnswers.Asked(widthPixels, heightPixels);
    ReplaceAllControls();
    // The size really changed: the resize handler runs now, nested in this assignment. The
    // nested run asks for the same size; one level is all, so that a size the platform will
    // not take cannot nest for ever.
    if (m_widget->size() != before && m_resizeDepth == 1)
        RaiseResize();
}

void Window::NoteSizeAnswer(int widthPixels, int heightPixels)
{
    // A window system that will not take our size (a tiling manager, a kiosk) forces its own
    // again; setting ours again would only start the same exchange over: keep the one it gives.
    m_keepAnswer = m_sizeAnswers.Note(widthPixels, heightPixels) == SizeAnswers::Answer::Refused
        && (widthPixels != m_widget->width() || heightPixels != m_widget->height());
}

bool Window::TakeKeptAnswer()
{
    return std::exchange(m_keepAnswer, false);
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
    return miradel::ToPixels(GameArea(), m_scale, { left, top, width, height });
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
