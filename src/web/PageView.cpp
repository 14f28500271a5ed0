// SPDX-License-Identifier: MIT
#include "web/PageView.h"

#include "platform/Colors.h"
#include "web/PageContent.h"

namespace miradel {

static constexpr int kPacingInterval = 100;

// The controls that can have the keyboard, in tab order.
static constexpr std::array<PageElement, 6> kTabOrder = { PageElement::Message, PageElement::Choice0,
    PageElement::Choice1, PageElement::Choice2, PageElement::NextDay, PageElement::Choice3 };

PageView::PageView(PageDom& dom, PageContent& content)
    : m_dom(dom)
    , m_content(content)
{
}

void PageView::SetMessage(TextView text)
{
    m_backlog.CaptionChanging(m_message, text);
    m_message = text;
    m_messageDirty = true;
}

void PageView::ShowMessageArea(bool visible)
{
    // Every scene's opening shows the message area, and nothing else does.
    if (visible)
        m_backlog.SceneOpened();
    SetShown(PageElement::Message, visible);
}

void PageView::Flush()
{
    if (!m_messageDirty)
        return;
    m_messageDirty = false;
    m_dom.SetText(PageElement::Message, m_message);
}

void PageView::SetPacing(bool on)
{
    m_pacing = on;
    m_dom.SetPacingTimer(on, kPacingInterval);
}

void PageView::ClearPicture()
{
    m_dom.ClearPicture(kWhite);
}

void PageView::LoadPicture(TextView fileName)
{
    m_content.LoadPicture(fileName);
}

void PageView::PaintPicture(TextView pictureName)
{
    m_dom.PaintPicture();
    m_dom.SetAccessibleName(PageElement::Picture, pictureName);
    SetShown(PageElement::Picture, true);
}

std::array<bool, 5> PageView::ButtonsShown() const
{
    std::array<bool, 5> shown {};
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = m_shown[i];
    return shown;
}

bool PageView::TakesKeyboardUnasked(PageElement element) const
{
    return element == PageElement::Message || element == PageElement::NextDay;
}

void PageView::SetShown(PageElement element, bool visible)
{
    const std::optional<PageElement> focused = m_dom.Focused();
    const bool hadKeyboard = focused == element;
    m_shown[static_cast<std::size_t>(element)] = visible;
    m_dom.SetVisible(element, visible);
    if (visible) {
        const bool anyShownHasIt = focused && Shown(*focused);
        if (element == PageElement::Message || (TakesKeyboardUnasked(element) && !anyShownHasIt))
            m_dom.Focus(element);
    } else if (hadKeyboard) {
        PassKeyboardOn(element);
    }
}

void PageView::PassKeyboardOn(PageElement leaving)
{
    std::size_t position = 0;
    while (position < kTabOrder.size() && kTabOrder[position] != leaving)
        ++position;
    for (std::size_t step = 1; step < kTabOrder.size(); ++step) {
        const PageElement next = kTabOrder[(position + step) % kTabOrder.size()];
        if (Shown(next) && TakesKeyboardUnasked(next)) {
            m_dom.Focus(next);
            return;
        }
    }
    m_dom.Focus(std::nullopt);
}

} // namespace miradel
