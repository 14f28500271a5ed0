// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"
#include "reading/ReadingKeys.h"
#include "reading/Skip.h"
#include "web/PageContent.h"
#include "web/PageKeys.h"
#include "web/PageLayout.h"
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
    // A key pressed and let go on the page. Besides the page's own keys, the reading keys as
    // in the window: skip, the backlog, full screen. KeyUp tells whether the release is
    // swallowed (that of the key that closed the backlog, and all while it is open).
    KeyAnswer KeyDown(const std::string& key, bool repeat, KeyModifiers modifiers = {});
    bool KeyUp(const std::string& key);
    // The page lost the keyboard: a key let go elsewhere is never heard.
    void FocusLost();
    // A turn of the wheel in eighths of a degree (a notch is 120), positive away from the
    // reader. Over the message area each notch towards the reader reads on, as a click does,
    // and a notch away opens the backlog; while it is open the wheel scrolls it anywhere in
    // the game. Returns whether the page used the turn.
    bool Wheel(int angleDelta, bool overMessage = true);
    // A click in the game: while the backlog is open it closes it and goes no further.
    bool GameClicked();

    void SkipFrame();
    void ToggleFullScreen();
    // The browser entered or left full screen; the viewport is its new size.
    void FullScreenChanged(bool fullScreen, int viewportWidth, int viewportHeight);

    enum class Scrolling { Notch, Page };
    // Opens the backlog if it is closed, and scrolls back a notch's lines or a page.
    void OpenBacklog(Scrolling back);
    void CloseBacklog();
    bool BacklogOpen() const { return m_backlogOpen; }
    const Skip& Skipping() const { return m_skip; }
    bool FullScreen() const { return m_fullScreen; }

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
    void ScrollBacklog(int lines);
    void PlaceBacklog();
    void SetSkipHeld(bool held);
    void SkipToggled();
    void RunSkipFrames();

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
    PageLayout m_layout;
    bool m_fullScreen = false;
    Skip m_skip;
    bool m_backlogOpen = false;
    WheelNotches m_backlogWheel;
    // The key that closed the backlog: its release is the backlog's.
    std::string m_swallowKeyRelease;
};

} // namespace miradel
