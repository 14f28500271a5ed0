// SPDX-License-Identifier: MIT
#pragma once

#include "game/GameView.h"
#include "reading/Backlog.h"
#include "web/PageDom.h"

#include <array>

namespace miradel {

class PageContent;

// The game shown in the page's elements. The message text is written to the page once per
// event (Flush): a step may set it thousands of times, the screen needs only the last.
//
// The keyboard follows the desktop's rules: the message area takes it when it appears; the
// next-day button takes it when it appears and no control has it; the choices take it only
// when the player moves there, so the key that read the last line cannot take a choice the
// player has not seen; a control that hides passes it on to the next one on show (in tab
// order) that may take it unasked, or else it rests on the page.
class PageView final : public GameView {
public:
    PageView(PageDom& dom, PageContent& content);

    void SetMessage(TextView text) override;
    void ShowMessageArea(bool visible) override;
    void ShowDay(std::uint8_t day) override { m_dom.SetText(PageElement::Day, DecimalText(day)); }
    void ShowNextDay(bool visible) override { SetShown(PageElement::NextDay, visible); }
    void ShowChoice(int index, bool visible) override { SetShown(ChoiceElement(index), visible); }
    void SetPacing(bool on) override;
    void ClearPicture() override;
    void LoadPicture(TextView fileName) override;
    void PaintPicture(TextView pictureName) override;

    void SetShown(PageElement element, bool visible);
    bool Shown(PageElement element) const { return m_shown[static_cast<std::size_t>(element)]; }
    std::array<bool, 5> ButtonsShown() const;
    void Flush();

    bool Pacing() const { return m_pacing; }
    // The message area's text, as the game last set it.
    const Text& Message() const { return m_message; }
    // The pages read so far, for the backlog.
    const Backlog& History() const { return m_backlog; }

private:
    bool TakesKeyboardUnasked(PageElement element) const;
    void PassKeyboardOn(PageElement leaving);

    PageDom& m_dom;
    PageContent& m_content;
    std::array<bool, 9> m_shown {};
    Text m_message;
    Backlog m_backlog;
    bool m_messageDirty = false;
    bool m_pacing = false;
};

} // namespace miradel
