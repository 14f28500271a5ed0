// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include "music/MusicProcedures.h"
#include "platform/FatalError.h"
#include "platform/MediaControlSdl.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace miradel::test {

MediaResult SilentMedia::SendString(const char* command, char*, std::size_t)
{
    commands.emplace_back(command);
    return MediaResult::NotOpen;
}

FormFixture::FormFixture()
{
    UseMediaControl(media);
    SetFatalErrorHandler([](const RuntimeError& error) { throw error; });
    SetEndProgramHandler([this](int status) { endedWith.push_back(status); });
    m_form = std::make_unique<Frm>(folder.Root(), random);
}

FormFixture::~FormFixture()
{
    m_form.reset();
    UseMediaControl(SystemMediaControl());
    SetFatalErrorHandler(nullptr);
    SetEndProgramHandler(nullptr);
}

void FormFixture::Start()
{
    m_form->Form_Load();
    m_form->Form_Resize();
    m_form->Form_Activate();
}

bool FormFixture::Show()
{
    m_form->Start();
    // The first activation is queued behind the first show; a generous limit.
    const QDeadlineTimer deadline(30000);
    while (!m_form->game.player.SceneOpen() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return m_form->game.player.SceneOpen();
}

std::string FormFixture::VisibleChoices()
{
    std::string shown;
    for (int i = 0; i <= 3; ++i) {
        if (m_form->Com(i).Visible())
            shown += std::to_string(i);
    }
    return shown;
}

std::string FormFixture::Offer()
{
    return OfferShown(m_form->Lbl.Visible(), m_form->ComGame.Visible(), !VisibleChoices().empty());
}

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &press);
}

void Release(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &release);
}

void Type(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    Press(widget, key, modifiers, autoRepeat);
    Release(widget, key, modifiers, autoRepeat);
}

void TurnWheel(QWidget* widget, int away, bool inverted)
{
    const QPointF inside(5, 5);
    QWheelEvent event(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, inverted ? -away : away), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, inverted);
    QCoreApplication::sendEvent(widget, &event);
}

void ClickAt(QWidget* widget)
{
    const QPointF inside(5, 5);
    for (const auto& [type, buttons] : { std::pair { QEvent::MouseButtonPress, Qt::LeftButton },
             std::pair { QEvent::MouseButtonRelease, Qt::NoButton } }) {
        QMouseEvent event(type, inside, widget->mapToGlobal(inside), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

} // namespace miradel::test
