// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace miradel {

// What a media command returns: Ok (0) or the reason it failed.
enum class MediaResult : std::uint32_t {
    Ok = 0,
    UnrecognizedCommand,
    BadParameter,
    NotOpen,
    AliasInUse,
    FileNotFound,
    CannotPlay,
};

// The platform's text-command media service. Commands are narrow (UTF-8) strings that name
// an alias, such as `open "C:\a b.wav" alias MIDI` or `status MIDI mode`. A command that
// answers writes at most `replyLength` bytes, its closing zero included, into `reply`; a
// command that fails leaves `reply` alone.
class MediaControl {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~MediaControl() = default;
    virtual MediaResult SendString(const char* command, char* reply, std::size_t replyLength) = 0;

    // The earliest moment at which the mode that "status" answers for `alias` may change
    // with no command sent: Clock::time_point::min() when it may change at any moment,
    // max() when only a command can change it (nothing open, stopped). Lets a watch sleep
    // through the time in which its queries could not see anything new.
    virtual Clock::time_point NextModeChange(std::string_view /*alias*/) const { return Clock::time_point::min(); }
};

} // namespace miradel
