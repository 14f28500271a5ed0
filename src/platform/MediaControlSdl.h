#pragma once

#include "platform/MediaControl.h"

#include <memory>

namespace miradel {

// The media service over SDL2_mixer. Holds at most one open file, under one alias; "open"
// opens the audio device and "close" closes it again, so no device is held while nothing is
// open. SDL is loaded, the device opened and the file loaded on a worker thread: "open"
// returns at once, "status ... mode" answers "not ready" until the file is ready, and a
// "play" sent meanwhile starts it as soon as it is. A file that cannot be loaded, or a
// device that cannot be opened, leaves the alias dead: every command but "close" fails, and
// nothing is printed (only missing SDL libraries are named once on stderr).
//
// Files stream from disk; the ADPCM wave formats that the streaming decoder refuses are
// decoded whole instead. Status queries read an atomic flag and never allocate.
//
// SDL_mixer's finish callbacks carry no context, so only one instance may exist at a time.
class SdlMediaControl final : public MediaControl {
public:
    SdlMediaControl();
    ~SdlMediaControl() override;
    SdlMediaControl(const SdlMediaControl&) = delete;
    SdlMediaControl& operator=(const SdlMediaControl&) = delete;

    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;

private:
    struct Session;
    std::unique_ptr<Session> m_session;
};

// The program's media service, made on first use and closed at exit.
MediaControl& SystemMediaControl();

} // namespace miradel
