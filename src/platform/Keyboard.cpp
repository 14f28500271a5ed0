// SPDX-License-Identifier: MIT
#include "platform/Keyboard.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace miradel {

bool TakesKeyboard(const QWidget& control)
{
    return control.isEnabled() && control.isVisibleTo(control.window()) && !control.isWindow()
        && (control.focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

// The next button on show after `from` in tab order (before it, going back), wrapping round.
static QWidget* NextButton(QWidget& from, bool forward)
{
    for (QWidget* next = forward ? from.nextInFocusChain() : from.previousInFocusChain(); next && next != &from;
         next = forward ? next->nextInFocusChain() : next->previousInFocusChain()) {
        if (next->window() == from.window() && next->inherits("QAbstractButton") && TakesKeyboard(*next))
            return next;
    }
    return nullptr;
}

static bool MoveAmongButtons(QWidget& target, int key)
{
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    if (QWidget* next = NextButton(target, forward))
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool HandleKeyPress(KeyPlace place, QWidget& target, const QKeyEvent& event, const std::function<void()>& click)
{
    const int key = event.key();
    const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    switch (place) {
    case KeyPlace::Reading:
        // Reading on; a held key reads on as fast as it repeats.
        if (key == Qt::Key_Space || enter || key == Qt::Key_Down) {
            click();
            return true;
        }
        return false;
    case KeyPlace::Resting:
        // Keys pressed to read on do nothing here: only a move onto a button (the arrows, or
        // Tab through the toolkit) puts a choice under the keyboard.
        if (arrow)
            return MoveAmongButtons(target, key);
        return key == Qt::Key_Space || enter;
    case KeyPlace::Button:
        if (arrow)
            return MoveAmongButtons(target, key);
        // On a desktop Enter presses a button too, at once; a repeat of a key held from
        // before presses nothing.
        if (enter) {
            if (!event.isAutoRepeat())
                click();
            return true;
        }
        return false;
    }
    return false;
}

} // namespace miradel
