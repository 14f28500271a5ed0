// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MediaControl.h"

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

namespace miradel {

struct SdlMixerLibrary;

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
// The device buffer is fitted to the length of the sound, so that a restart right after its
// end follows it closely without short buffers (Mix_OpenAudio's chunk size): the audio
// thread wakes some 10 to 40 times a second. While the sound plays, NextModeChange() gives
// the moment that the buffer holding its end is due to be mixed, from the length and the
// times at which the audio thread mixed the buffers so far.
//
// "close" returns at once whatever the loader is doing: the loader thread closes the device
// after it, or first finishes what it is at (a device open blocked by a stalled sound
// server, a long file being decoded), and ends by itself. So closing the music never holds
// the program up; the device may still be closing when "close" returns.
//
// SDL_mixer's finish callbacks carry no context, so only one instance may exist at a time;
// a closed session's loader keeps the device to itself until it is done.
class SdlMediaControl final : public MediaControl {
public:
    // Where the SDL libraries come from: the system's, or a stand-in of a test.
    using LibraryLoader = std::function<const SdlMixerLibrary*(std::stop_token)>;

    SdlMediaControl();
    explicit SdlMediaControl(LibraryLoader loadLibrary);
    ~SdlMediaControl() override;
    SdlMediaControl(const SdlMediaControl&) = delete;
    SdlMediaControl& operator=(const SdlMediaControl&) = delete;

    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;
    Clock::time_point NextModeChange(std::string_view alias) const override;

    // Waits until every loader thread, those of closed sessions included, has ended: before
    // anything that must not run beside one (unloading SDL, the end of a test). False when
    // `limit` passed first.
    static bool WaitForLoaders(std::chrono::milliseconds limit);

private:
    struct Session;
    void CloseSession();

    LibraryLoader m_loadLibrary;
    std::shared_ptr<Session> m_session;
};

// The program's media service, made on first use and closed at exit.
MediaControl& SystemMediaControl();

} // namespace miradel
