// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace miradel {

// Everything a key does in the window, in one place. Each place the keyboard can be hands its
// key presses here before the toolkit's own handling.
enum class KeyPlace {
    // The window itself: the keyboard rests on no control, as it does when choices appear,
    // until the player moves it onto one.
    Resting,
    // The message area: reading on.
    Reading,
    // A button with the keyboard.
    Button,
};

// Handles a key press on `target`, a control in `place`; `click` is what a click on it does.
// Returns whether the key was used; if not, the toolkit handles it (Tab, and Space on a
// button, which the toolkit presses on the key's release, only after a press on that button).
bool HandleKeyPress(KeyPlace place, QWidget& target, const QKeyEvent& event, const std::function<void()>& click);

// Whether a control can take the keyboard from the player's Tab or arrow keys.
bool TakesKeyboard(const QWidget& control);

} // namespace miradel
