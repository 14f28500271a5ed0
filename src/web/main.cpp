// SPDX-License-Identifier: MIT
#include "web/BrowserDom.h"
#include "web/WebPage.h"

#include <charconv>
#include <cstdlib>
#include <emscripten.h>
#include <memory>
#include <string>
#include <vector>

// The page's entry points: page.js calls these from the browser's events, timers and answers.

namespace {

miradel::BrowserDom dom;
std::unique_ptr<miradel::WebPage> page;

std::unique_ptr<miradel::RandomSource> RandomFrom(const char* seed)
{
    // "?seed=N" makes the draws the same on every run; without it they come from the clock.
    const std::string text = seed ? seed : "";
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size())
        return std::make_unique<miradel::SeededRandom>(value);
    return std::make_unique<miradel::ClockSeededRandom>();
}

void StartPage(miradel::GameLocation location, const char* seed, int width, int height)
{
    // The page before goes as the program does at shutdown.
    page.reset();
    page = std::make_unique<miradel::WebPage>(dom, std::move(location), RandomFrom(seed));
    page->Start(width, height);
}

std::vector<std::string> Lines(const char* text)
{
    std::vector<std::string> lines;
    std::string current;
    for (const char* c = text; c && *c; ++c) {
        if (*c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
        } else {
            current += *c;
        }
    }
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

} // namespace

extern "C" {

// The game folder on the server, relative to the page; `folderName` is what messages call it.
EMSCRIPTEN_KEEPALIVE void miradel_play_server(
    const char* folder, const char* folderName, const char* seed, int width, int height)
{
    miradel::GameLocation location = miradel::GameLocation::OnServer(folder ? folder : "");
    location.SetFolderName(folderName ? folderName : "");
    StartPage(std::move(location), seed, width, height);
}

// A folder that the player picked: its files' paths, one a line.
EMSCRIPTEN_KEEPALIVE void miradel_play_picked(const char* paths, const char* seed, int width, int height)
{
    StartPage(miradel::GameLocation::Picked(Lines(paths)), seed, width, height);
}

EMSCRIPTEN_KEEPALIVE void miradel_file_arrived(int request, int answer, const char* bytes, int length)
{
    if (page)
        page->FileArrived(request, static_cast<miradel::FileAnswer>(answer),
            bytes && length > 0 ? std::string(bytes, static_cast<std::size_t>(length)) : std::string());
}

EMSCRIPTEN_KEEPALIVE void miradel_resize(int width, int height)
{
    if (page)
        page->Form_Resize(width, height);
}

EMSCRIPTEN_KEEPALIVE void miradel_message_click()
{
    if (page)
        page->Lbl_Click();
}

EMSCRIPTEN_KEEPALIVE void miradel_next_day_click()
{
    if (page)
        page->ComGame_Click();
}

EMSCRIPTEN_KEEPALIVE void miradel_choice_click(int index)
{
    if (page)
        page->Com_Click(index);
}

EMSCRIPTEN_KEEPALIVE void miradel_pacing_tick()
{
    if (page)
        page->TimSay_Timer();
}

EMSCRIPTEN_KEEPALIVE void miradel_music_watch_tick()
{
    if (page)
        page->BgmTim_Timer();
}

EMSCRIPTEN_KEEPALIVE void miradel_music_ended(int request)
{
    if (page)
        page->MusicEnded(request);
}

// A turn of the wheel in the game; returns 1 when the page used it (the browser must not).
EMSCRIPTEN_KEEPALIVE int miradel_wheel(int angleDelta, int overMessage)
{
    return page && page->Wheel(angleDelta, overMessage != 0) ? 1 : 0;
}

// A click in the game, before it reaches its element; 1: it was the backlog's.
EMSCRIPTEN_KEEPALIVE int miradel_game_click()
{
    return page && page->GameClicked() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void miradel_skip_frame()
{
    if (page)
        page->SkipFrame();
}

EMSCRIPTEN_KEEPALIVE void miradel_full_screen_changed(int fullScreen, int width, int height)
{
    if (page)
        page->FullScreenChanged(fullScreen != 0, width, height);
}

EMSCRIPTEN_KEEPALIVE void miradel_focus_lost()
{
    if (page)
        page->FocusLost();
}

// A key pressed on the page, with the modifiers held (1 Shift, 2 Ctrl, 4 Alt, 8 Meta). Returns
// what the page does with it: 0 the browser's own handling, 1 nothing (the browser's default
// prevented), 2 the message read on, 3 press the focused button, 4 the keyboard moved.
EMSCRIPTEN_KEEPALIVE int miradel_key_down(const char* key, int repeat, int modifiers)
{
    if (!page)
        return 0;
    const miradel::KeyModifiers held { .shift = (modifiers & 1) != 0,
        .control = (modifiers & 2) != 0,
        .alt = (modifiers & 4) != 0,
        .meta = (modifiers & 8) != 0 };
    return static_cast<int>(page->KeyDown(key ? key : "", repeat != 0, held).action);
}

// A key let go; 1: its release is swallowed.
EMSCRIPTEN_KEEPALIVE int miradel_key_up(const char* key)
{
    return page && page->KeyUp(key ? key : "") ? 1 : 0;
}

} // extern "C"

int main()
{
    // page.js starts the game once the page is there; the runtime stays for its events.
    EM_ASM({ MiradelPage.runtimeReady(); });
    return 0;
}
