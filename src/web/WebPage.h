// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"
#include "web/PageContent.h"
#include "web/PageKeys.h"
#include "web/PageMusic.h"
#include "web/PageView.h"

#include <memory>
#include <string>

namespace miradel {

// The program's window as a page: the game, its music and the event handlers that the
// browser's events and timers call. Until the game's files have come, nothing runs; then
// start-up, the first layout run and the new game follow, as in the desktop program.
//
// Every handler runs to its end; an error escaping one ends the game with the fatal message
// shown in the page, and no handler runs again.
class WebPage final {
public:
    WebPage(PageDom& dom, GameLocation location, std::unique_ptr<RandomSource> random);
    ~WebPage();
    WebPage(const WebPage&) = delete;
    WebPage& operator=(const WebPage&) = delete;

    // Fetches the game; it starts once everything has come. `viewport` as for Form_Resize.
    void Start(int viewportWidth, int viewportHeight);

    void Form_Load();
    void Form_Activate();
    // The viewport's size plays the screen's.
    void Form_Resize(int viewportWidth, int viewportHeight);
    void Lbl_Click();
    void TimSay_Timer();
    void BgmTim_Timer();
    void ComGame_Click();
    void Com_Click(int Index);
    KeyAnswer KeyDown(const std::string& key, bool repeat);
    // A turn of the wheel over the message area, in eighths of a degree (a notch is 120),
    // positive away from the reader: each notch towards the reader reads on, as a click does.
    void Wheel(int angleDelta);

    void FileArrived(int request, FileAnswer answer, std::string bytes);
    void MusicEnded(int request);

    bool Started() const { return m_started; }
    bool Stopped() const { return m_stopped; }
    Game& TheGame() { return m_game; }
    PageView& View() { return m_view; }

private:
    template <typename Handler> void Run(Handler&& handler);
    void Fatal(const RuntimeError& error);
    void LayOut();

    PageDom& m_dom;
    std::unique_ptr<RandomSource> m_random;
    PageContent m_content;
    PageView m_view;
    Game m_game;
    PageMusic m_music;
    int m_nextMusicRequest = 1 << 20;
    int m_viewportWidth = 0;
    int m_viewportHeight = 0;
    bool m_started = false;
    bool m_stopped = false;
    int m_wheelTowardsReader = 0;
};

} // namespace miradel
