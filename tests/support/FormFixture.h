// SPDX-License-Identifier: MIT
#pragma once

#include "app/Frm.h"
#include "platform/MediaControl.h"
#include "support/GameFolder.h"
#include "support/HeadlessFixture.h"

#include <Qt>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace miradel::test {

// A media service that records the commands and plays nothing.
class SilentMedia final : public MediaControl {
public:
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;
    std::vector<std::string> commands;
};

// The window on a game folder of the test's own, with its handlers called directly: fatal
// errors are thrown to the test, and ending the program is only recorded.
class FormFixture {
public:
    FormFixture();
    ~FormFixture();

    // Form_Load, the first layout run and the first game, as the window's start would.
    void Start();
    // Shows the window for real and waits until its first game has started.
    bool Show();
    Frm& Form() { return *m_form; }

    std::string Message() { return ShownMessage(m_form->Lbl.Caption()); }
    std::string Offer();
    std::string VisibleChoices();

    GameFolder folder;
    ScriptedRandom random;
    SilentMedia media;
    std::vector<int> endedWith;

private:
    std::unique_ptr<Frm> m_form;
};

// Events sent straight to a widget, as the window system would deliver them.
void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false);
void Release(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false);
void Type(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false);
// `away` in eighths of a degree (a notch is 120): positive turns the wheel away from the
// reader; `inverted` is a wheel set to natural scrolling, which reports the other sign.
void TurnWheel(QWidget* widget, int away, bool inverted = false);
void ClickAt(QWidget* widget);

} // namespace miradel::test
