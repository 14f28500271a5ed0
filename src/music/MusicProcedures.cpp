// SPDX-License-Identifier: MIT
#include "music/MusicProcedures.h"

#include "platform/MediaControl.h"

#include <array>
#include <string>
#include <string_view>

namespace miradel {

namespace {

MediaControl* chosenService = nullptr;
std::function<void(MediaControl::Clock::time_point)> watchTimer;

// Until the program chooses the system's service, there is no sound device.
class NoMediaControl final : public MediaControl {
public:
    MediaResult SendString(const char*, char*, std::size_t) override { return MediaResult::NotOpen; }
};

MediaControl& Service()
{
    static NoMediaControl none;
    return chosenService ? *chosenService : none;
}

// After a tick. `retrying`: it has just sent a restart, which is tried again on the next
// tick for as long as the music stays stopped.
void ArmWatch(bool retrying)
{
    if (!watchTimer)
        return;
    auto next = Service().NextModeChange("MIDI");
    if (retrying && next == MediaControl::Clock::time_point::max())
        next = MediaControl::Clock::time_point::min();
    watchTimer(next);
}

void Send(const std::string& command)
{
    Service().SendString(command.c_str(), nullptr, 0);
    // A command may have changed anything: the next tick looks.
    if (watchTimer)
        watchTimer(MediaControl::Clock::time_point::min());
}

// Upper-cases the first seven characters of the reply and compares them with "STOPPED".
// Replies are UTF-8, whose multi-byte characters never consist of ASCII bytes, so comparing
// bytes gives the same answer as converting the reply to text first, without allocating.
bool ReplyIsStopped(const std::array<char, 16>& reply)
{
    constexpr std::string_view kStopped = "STOPPED";
    for (std::size_t i = 0; i < kStopped.size(); ++i) {
        char c = reply[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != kStopped[i])
            return false;
    }
    return true;
}

} // namespace

namespace 共用関数 {

bool musicOn = false;

void OpenMusic(const Text& path)
{
    Send("close MIDI notify");
    Send("open \"" + TextToUtf8(path) + "\" alias MIDI");
}

void PlayMusic()
{
    if (musicOn)
        Send("play MIDI notify");
}

void CloseMusic()
{
    Send("close MIDI notify");
}

} // namespace 共用関数

void BgmTim_Timer()
{
    // 16 blanks, of which the service may fill 15, its closing zero included.
    std::array<char, 16> reply;
    reply.fill(' ');
    Service().SendString("status MIDI mode", reply.data(), 15);
    const bool restart = ReplyIsStopped(reply) && 共用関数::musicOn;
    if (restart) {
        Service().SendString("seek MIDI to start", nullptr, 0);
        Service().SendString("play MIDI from 0", nullptr, 0);
    }
    ArmWatch(restart);
}

void UseMediaControl(MediaControl& service)
{
    chosenService = &service;
}

void StopUsingMediaControl(const MediaControl& service)
{
    if (chosenService == &service)
        chosenService = nullptr;
}

void UseMusicWatchTimer(std::function<void(MediaControl::Clock::time_point)> tickAt)
{
    watchTimer = std::move(tickAt);
}

} // namespace miradel
