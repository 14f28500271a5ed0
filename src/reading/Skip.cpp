// SPDX-License-Identifier: MIT
#include "reading/Skip.h"

namespace miradel {

Skip::Skip(std::function<Offer()> offer, std::function<void()> click)
    : m_offer(std::move(offer))
    , m_click(std::move(click))
{
}

void Skip::SetHeld(bool held)
{
    m_held = held;
}

void Skip::Toggle()
{
    m_toggled = !m_toggled;
}

void Skip::Frame()
{
    if (!Active())
        return;
    switch (m_offer()) {
    case Offer::Reading:
        m_click();
        return;
    case Offer::Paused:
        return;
    case Offer::Buttons:
        m_toggled = false;
        return;
    }
}

} // namespace miradel
