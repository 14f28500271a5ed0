// SPDX-License-Identifier: MIT
#include "web/PageMusic.h"

#include "platform/MediaCommand.h"

#include <algorithm>
#include <cstring>

namespace miradel {

PageMusic::PageMusic(PageDom& dom, std::function<int(const std::string& path)> fetch)
    : m_dom(dom)
    , m_fetch(std::move(fetch))
{
}

MediaResult PageMusic::SendString(const char* command, char* reply, std::size_t replyLength)
{
    MediaCommand parsed;
    const MediaResult result = ParseMediaCommand(command ? command : "", parsed);
    if (result != MediaResult::Ok)
        return result;
    if (parsed.verb == MediaVerb::Open) {
        if (m_open && EqualsIgnoringCase(parsed.alias, m_alias))
            return MediaResult::AliasInUse;
        m_alias = std::string(parsed.alias);
        m_open = true;
        m_playing = false;
        m_request = m_fetch(std::string(parsed.path));
        return MediaResult::Ok;
    }
    if (!m_open || !EqualsIgnoringCase(parsed.alias, m_alias))
        return MediaResult::NotOpen;
    switch (parsed.verb) {
    case MediaVerb::Close:
        m_open = false;
        m_playing = false;
        m_dom.MusicRelease(m_request);
        return MediaResult::Ok;
    case MediaVerb::Play:
        m_playing = true;
        m_dom.MusicPlay(m_request, parsed.fromStart);
        return MediaResult::Ok;
    case MediaVerb::Seek:
        m_playing = false;
        m_dom.MusicStop(m_request);
        return MediaResult::Ok;
    case MediaVerb::Status: {
        const char* mode = m_playing ? "playing" : "stopped";
        if (reply && replyLength > 0) {
            const std::size_t length = std::min(std::strlen(mode), replyLength - 1);
            std::memcpy(reply, mode, length);
            reply[length] = '\0';
        }
        return MediaResult::Ok;
    }
    case MediaVerb::Open:
        break;
    }
    return MediaResult::UnrecognizedCommand;
}

MediaControl::Clock::time_point PageMusic::NextModeChange(std::string_view) const
{
    // Playing, the mode changes at the end of the music, which the browser announces.
    return Clock::time_point::max();
}

void PageMusic::FileFailed(int request)
{
    if (!Owns(request))
        return;
    m_dom.MusicRelease(m_request);
    m_open = false;
    m_playing = false;
}

void PageMusic::MusicEnded(int request)
{
    if (Owns(request))
        m_playing = false;
}

} // namespace miradel
