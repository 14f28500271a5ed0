// SPDX-License-Identifier: MIT
#pragma once

#include "app/BacklogView.h"
#include "platform/Timer.h"
#include "reading/Backlog.h"
#include "reading/ReadingKeys.h"
#include "reading/Skip.h"

#include <QObject>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QWidget;

namespace miradel {

class Frm;

// The reading keys (skip, backlog, full screen) in the window: Qt's events turned into the
// shared decisions and carried out. All of it reaches the game only as clicks on the message
// area or as layout; a player who never uses these keys plays exactly as without them.
class PlayerKeys final : public QObject {
public:
    explicit PlayerKeys(Frm& form);
    ~PlayerKeys() override;

    // The pacing timer's ticks wait while the backlog is open: no step, no blink.
    bool PacingHeld() const { return m_view.IsOpen(); }

    // The actions, as the keys, the wheel and the skip frames reach them.
    enum class Scrolling { Notch, Page };
    // Opens the backlog if it is closed, and scrolls back a notch's lines or a page.
    void OpenBacklog(Scrolling back);
    void CloseBacklog();
    bool BacklogOpen() const { return m_view.IsOpen(); }
    const BacklogView& View() const { return m_view; }
    const Backlog& History() const { return m_backlog; }
    void ToggleFullScreen();
    Skip& Skipping() { return m_skip; }
    void SkipFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InWindow(QObject* watched) const;
    bool KeyPressed(QKeyEvent& event);
    bool WheelTurned(QWidget& receiver, QWheelEvent& event);
    bool OverMessageArea(QWidget& receiver, QPointF position) const;
    void SetSkipHeld(bool held);
    void SkipToggled();
    Skip::Offer SkipOffer() const;

    Frm& m_form;
    Backlog m_backlog;
    BacklogView m_view;
    Skip m_skip;
    Timer m_skipFrames;
    // The press that closed the backlog is the backlog's: its release goes nowhere.
    bool m_swallowMouseRelease = false;
    int m_swallowKeyRelease = 0;
    WheelNotches m_wheel;
};

} // namespace miradel
