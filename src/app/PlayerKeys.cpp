// SPDX-License-Identifier: MIT
#include "app/PlayerKeys.h"

#include "app/Frm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace miradel {

// One frame of a 60 Hz screen: skipping clicks once per frame.
static constexpr int kFrameInterval = 16;
static constexpr int kWheelNotch = 120;
static constexpr int kLinesPerNotch = 3;

PlayerKeys::PlayerKeys(Frm& form)
    : m_form(form)
    , m_view(*form.frm.Widget())
    , m_skip([this] { return SkipOffer(); }, [this] { m_form.Lbl_Click(); })
    , m_skipFrames(kFrameInterval, false)
{
    m_form.Lbl.OnCaptionChange(
        [this](const Text& before, TextView after) { m_backlog.CaptionChanging(before, after); });
    // Every scene's opening shows the message area, and nothing else does.
    m_form.Lbl.OnShowAsked([this] { m_backlog.SceneOpened(); });
    m_skipFrames.OnTick([this] { SkipFrame(); });
    qApp->installEventFilter(this);
}

PlayerKeys::~PlayerKeys()
{
    m_form.Lbl.OnCaptionChange(nullptr);
    m_form.Lbl.OnShowAsked(nullptr);
}

Skip::Offer PlayerKeys::SkipOffer() const
{
    if (m_view.IsOpen())
        return Skip::Offer::Paused;
    return m_form.Lbl.Visible() ? Skip::Offer::Reading : Skip::Offer::Buttons;
}

void PlayerKeys::SkipFrame()
{
    m_skip.Frame();
    m_skipFrames.SetEnabled(m_skip.Active());
}

void PlayerKeys::SetSkipHeld(bool held)
{
    if (held == m_skip.Held())
        return;
    m_skip.SetHeld(held);
    m_skipFrames.SetEnabled(m_skip.Active());
}

void PlayerKeys::SkipToggled()
{
    m_skip.Toggle();
    m_skipFrames.SetEnabled(m_skip.Active());
}

void PlayerKeys::OpenBacklog(Scrolling back)
{
    if (!m_view.IsOpen()) {
        // At the buttons the scene is over and its last page already kept.
        const Text current = m_form.Lbl.Visible() ? m_form.Lbl.Caption() : Text();
        m_view.Open(m_backlog.History(current), m_form.Lbl, m_form.frm.BackColor());
    }
    m_view.Scroll(back == Scrolling::Page ? -m_view.LinesPerPage() : -kLinesPerNotch);
}

void PlayerKeys::CloseBacklog()
{
    m_view.Close();
    m_wheel = 0;
}

void PlayerKeys::ToggleFullScreen()
{
    // The backlog lies over the message area where it was; a new layout moves the area.
    CloseBacklog();
    m_form.frm.SetFullScreen(!m_form.frm.IsFullScreen());
}

bool PlayerKeys::InWindow(QObject* watched) const
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_form.frm.Widget();
}

bool PlayerKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return InWindow(watched) && KeyPressed(static_cast<QKeyEvent&>(*event));
    case QEvent::KeyRelease: {
        if (!InWindow(watched))
            return false;
        auto& key = static_cast<QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Control && !key.isAutoRepeat())
            SetSkipHeld(false);
        if (key.key() == m_swallowKeyRelease && !key.isAutoRepeat()) {
            m_swallowKeyRelease = 0;
            return true;
        }
        return m_view.IsOpen();
    }
    case QEvent::Wheel:
        return InWindow(watched) && WheelTurned(static_cast<QWidget&>(*watched), static_cast<QWheelEvent&>(*event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (InWindow(watched) && m_view.IsOpen()) {
            CloseBacklog();
            m_swallowMouseRelease = true;
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (m_swallowMouseRelease && InWindow(watched)) {
            m_swallowMouseRelease = false;
            return true;
        }
        return false;
    case QEvent::WindowDeactivate:
        // A key let go in another window is never heard here.
        if (watched == m_form.frm.Widget())
            SetSkipHeld(false);
        return false;
    default:
        return false;
    }
}

static bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool PlayerKeys::KeyPressed(QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Control) {
        SetSkipHeld(true);
        return false;
    }
    if (m_view.IsOpen())
        return BacklogKeyPressed(event);
    const bool fresh = !event.isAutoRepeat();
    if ((key == Qt::Key_F11 && modifiers == Qt::NoModifier) || (IsEnter(key) && modifiers == Qt::AltModifier)) {
        if (fresh)
            ToggleFullScreen();
        return true;
    }
    if (key == Qt::Key_Escape && m_form.frm.IsFullScreen()) {
        if (fresh)
            ToggleFullScreen();
        return true;
    }
    if (key == Qt::Key_S && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
        if (fresh)
            SkipToggled();
        return true;
    }
    if (key == Qt::Key_PageUp) {
        OpenBacklog(Scrolling::Page);
        return true;
    }
    // The arrow keys, Tab, Space and Enter go on to the controls, which keep a choice from
    // being taken blind.
    return false;
}

bool PlayerKeys::BacklogKeyPressed(QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event.isAutoRepeat()) {
            CloseBacklog();
            m_swallowKeyRelease = event.key();
        }
        break;
    case Qt::Key_PageUp:
        m_view.Scroll(-m_view.LinesPerPage());
        break;
    case Qt::Key_PageDown:
        m_view.Scroll(m_view.LinesPerPage());
        break;
    case Qt::Key_Up:
        m_view.Scroll(-1);
        break;
    case Qt::Key_Down:
        m_view.Scroll(1);
        break;
    default:
        break;
    }
    // Nothing else reaches the game under the backlog.
    return true;
}

bool PlayerKeys::OverMessageArea(QWidget& receiver, QPointF position) const
{
    const QPoint inWindow = receiver.mapTo(m_form.frm.Widget(), position.toPoint());
    return m_form.Lbl.Widget()->geometry().contains(inWindow);
}

bool PlayerKeys::WheelTurned(QWidget& receiver, QWheelEvent& event)
{
    // Positive: the wheel turned away from the reader, whatever the system's scrolling setting.
    const int away = event.inverted() ? -event.angleDelta().y() : event.angleDelta().y();
    if (!m_view.IsOpen() && (away <= 0 || !OverMessageArea(receiver, event.position())))
        return false;
    if ((away > 0) != (m_wheel > 0))
        m_wheel = 0;
    m_wheel += away;
    for (; m_wheel >= kWheelNotch; m_wheel -= kWheelNotch)
        OpenBacklog(Scrolling::Notch);
    while (m_wheel <= -kWheelNotch) {
        m_wheel += kWheelNotch;
        if (!m_view.Scroll(kLinesPerNotch)) {
            CloseBacklog();
            break;
        }
    }
    event.accept();
    return true;
}

} // namespace miradel
