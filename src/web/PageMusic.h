// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MediaControl.h"
#include "web/PageDom.h"

#include <functional>
#include <string>

namespace miradel {

// The media service of the page: the commands of the music procedures carried out with Web
// Audio. The browser fetches and decodes the file and plays it; this keeps the mode that
// "status" answers. The end of the music comes as an event (MusicEnded), so the watch needs no
// tick while the music plays: it is told that only a command or that event changes the mode.
//
// A file that cannot be fetched or decoded ends up as a failed open: every later command
// fails and the game goes on without music, as the desktop's does without a sound device.
class PageMusic final : public MediaControl {
public:
    // `fetch` asks the page for a file of the game (a path relative to the game folder) and
    // returns the request under which it comes back.
    PageMusic(PageDom& dom, std::function<int(const std::string& path)> fetch);

    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;
    Clock::time_point NextModeChange(std::string_view alias) const override;

    bool Owns(int request) const { return m_open && request == m_request; }
    // The browser's answers about the file under `request`.
    void FileFailed(int request);
    void MusicEnded(int request);

private:
    PageDom& m_dom;
    std::function<int(const std::string&)> m_fetch;
    bool m_open = false;
    std::string m_alias;
    int m_request = -1;
    bool m_playing = false;
};

} // namespace miradel
