#pragma once

#include <cstddef>
#include <cstdint>

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
    virtual ~MediaControl() = default;
    virtual MediaResult SendString(const char* command, char* reply, std::size_t replyLength) = 0;
};

} // namespace miradel
