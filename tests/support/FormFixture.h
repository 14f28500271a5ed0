// SPDX-License-Identifier: MIT
#pragma once

#include "app/Frm.h"
#include "music/MusicProcedures.h"
#include "platform/FatalError.h"
#include "platform/MediaControlSdl.h"
#include "support/GameFolder.h"
#include "support/HeadlessFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace miradel::test {

// A media service that records the commands and plays nothing.
class SilentMedia final : public MediaControl {
public:
    MediaResult SendString(const char* command, char*, std::size_t) override
    {
        commands.emplace_back(command);
        return MediaResult::NotOpen;
    }
    std::vector<std::string> commands;
};

// The window on a whole game in a folder of the test's own: fatal errors are thrown to the test,
// and ending the program is only recorded.
class FormFixture {
public:
    FormFixture()
    {
        folder.WriteWholeGame();
        UseMediaControl(media);
        SetFatalErrorHandler([](const RuntimeError& error) { throw error; });
        SetEndProgramHandler([this](int status) { endedWith.push_back(status); });
        m_form = std::make_unique<Frm>(folder.Root(), random);
    }
    ~FormFixture()
    {
        m_form.reset();
        UseMediaControl(SystemMediaControl());
        SetFatalErrorHandler(nullptr);
        SetEndProgramHandler(nullptr);
    }

    // Form_Load, the first layout run and the first game, as the window's start would.
    void Start()
    {
        m_form->Form_Load();
        m_form->Form_Resize();
        m_form->Form_Activate();
    }
    // Shows the window for real and waits (generously) for its first game, queued behind the show.
    bool Show()
    {
        m_form->Start();
        const QDeadlineTimer deadline(30000);
        while (!m_form->game.player.SceneOpen() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return m_form->game.player.SceneOpen();
    }
    Frm& Form() { return *m_form; }

    std::string Message() { return ShownMessage(m_form->Lbl.Caption()); }
    std::string Offer()
    {
        return OfferShown(m_form->Lbl.Visible(), m_form->ComGame.Visible(), !VisibleChoices().empty());
    }
    std::string VisibleChoices()
    {
        std::string shown;
        for (int i = 0; i <= 3; ++i)
            shown += m_form->Com(i).Visible() ? std::to_string(i) : "";
        return shown;
    }

    GameFolder folder;
    ScriptedRandom random;
    SilentMedia media;
    std::vector<int> endedWith;

private:
    std::unique_ptr<Frm> m_form;
};

// Events sent straight to a widget, as the window system would deliver them.
inline void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false,
    QEvent::Type type = QEvent::KeyPress)
{
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &event);
}
inline void Type(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
{
    Press(widget, key, modifiers, autoRepeat);
    Press(widget, key, modifiers, autoRepeat, QEvent::KeyRelease);
}
// `away` in eighths of a degree (a notch is 120): positive turns the wheel away from the
// reader; `inverted` is a wheel set to natural scrolling, which reports the other sign.
inline void TurnWheel(QWidget* widget, int away, bool inverted = false)
{
    const QPointF inside(5, 5);
    QWheelEvent event(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, inverted ? -away : away), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, inverted);
    QCoreApplication::sendEvent(widget, &event);
}
inline void ClickAt(QWidget* widget)
{
    const QPointF inside(5, 5);
    for (const auto& [type, buttons] : { std::pair { QEvent::MouseButtonPress, Qt::LeftButton },
             std::pair { QEvent::MouseButtonRelease, Qt::NoButton } }) {
        QMouseEvent event(type, inside, widget->mapToGlobal(inside), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

} // namespace miradel::test
