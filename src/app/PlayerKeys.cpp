// SPDX-License-Identifier: MIT
#include "app/PlayerKeys.h"

#include "app/Frm.h"
#include "reading/ReadingKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace miradel {

PlayerKeys::PlayerKeys(Frm& form)
    : m_form(form)
    , m_view(*form.frm.Widget())
    , m_skip([this] { return SkipOffer(); }, [this] { m_form.Lbl_Click(); })
    , m_skipFrames(kSkipFrameInterval, false)
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
    return Skip::OfferFor(m_view.IsOpen(), m_form.Lbl.Visible());
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
    m_view.Scroll(back == Scrolling::Page ? -m_view.LinesPerPage() : -kBacklogLinesPerNotch);
}

void PlayerKeys::CloseBacklog()
{
    m_view.Close();
    m_wheel.Reset();
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

static ReadingKey ReadingKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Control:
        return ReadingKey::Control;
    case Qt::Key_S:
        return ReadingKey::S;
    case Qt::Key_PageUp:
        return ReadingKey::PageUp;
    case Qt::Key_PageDown:
        return ReadingKey::PageDown;
    case Qt::Key_Up:
        return ReadingKey::Up;
    case Qt::Key_Down:
        return ReadingKey::Down;
    case Qt::Key_Escape:
        return ReadingKey::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ReadingKey::Enter;
    case Qt::Key_Space:
        return ReadingKey::Space;
    case Qt::Key_F11:
        return ReadingKey::F11;
    default:
        return ReadingKey::Other;
    }
}

bool PlayerKeys::KeyPressed(QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers();
    const KeyModifiers modifiers { .shift = held.testFlag(Qt::ShiftModifier),
        .control = held.testFlag(Qt::ControlModifier),
        .alt = held.testFlag(Qt::AltModifier),
        .meta = held.testFlag(Qt::MetaModifier) };
    switch (AnswerReadingKey(
        ReadingKeyOf(event.key()), modifiers, event.isAutoRepeat(), m_view.IsOpen(), m_form.frm.IsFullScreen())) {
    case ReadingAction::Pass:
        return false;
    case ReadingAction::Swallow:
        return true;
    case ReadingAction::HoldSkip:
        SetSkipHeld(true);
        return false;
    case ReadingAction::ToggleSkip:
        SkipToggled();
        return true;
    case ReadingAction::ToggleFullScreen:
        ToggleFullScreen();
        return true;
    case ReadingAction::OpenBacklog:
        OpenBacklog(Scrolling::Page);
        return true;
    case ReadingAction::CloseBacklog:
        CloseBacklog();
        m_swallowKeyRelease = event.key();
        return true;
    case ReadingAction::PageBack:
        m_view.Scroll(-m_view.LinesPerPage());
        return true;
    case ReadingAction::PageOn:
        m_view.Scroll(m_view.LinesPerPage());
        return true;
    case ReadingAction::LineBack:
        m_view.Scroll(-1);
        return true;
    case ReadingAction::LineOn:
        m_view.Scroll(1);
        return true;
    }
    return false;
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
    const int notches = m_wheel.Add(away);
    for (int notch = 0; notch < notches; ++notch)
        OpenBacklog(Scrolling::Notch);
    for (int notch = 0; notch > notches; --notch) {
        if (!m_view.Scroll(kBacklogLinesPerNotch)) {
            CloseBacklog();
            break;
        }
    }
    event.accept();
    return true;
}

} // namespace miradel
