// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace miradel {

// Skipping reads on as fast as a player clicking the message area once per frame would:
// each frame makes exactly one click while the text is on show, so the steps, pages and
// random draws are those of the clicks. It never presses a button: at the next-day button
// or the choices it waits, and a skip switched on by its toggle key ends there.
class Skip {
public:
    enum class Offer {
        Reading, // the message area is on show: a click reads on
        Paused, // something lies over the text for a while (the backlog): wait
        Buttons, // the buttons are on offer: stop
    };

    // What lies on the screen: the backlog over the text, else the text or the buttons.
    static Offer OfferFor(bool backlogOpen, bool messageShown)
    {
        if (backlogOpen)
            return Offer::Paused;
        return messageShown ? Offer::Reading : Offer::Buttons;
    }

    Skip(std::function<Offer()> offer, std::function<void()> click);

    // The hold key (Ctrl) down or up; a window that loses the keyboard never hears the up.
    void SetHeld(bool held);
    bool Held() const { return m_held; }
    // The toggle key (S).
    void Toggle();
    bool Active() const { return m_held || m_toggled; }

    // One frame: one click, if skipping and the text is on show.
    void Frame();

private:
    std::function<Offer()> m_offer;
    std::function<void()> m_click;
    bool m_held = false;
    bool m_toggled = false;
};

} // namespace miradel
