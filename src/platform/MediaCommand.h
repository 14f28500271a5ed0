// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MediaControl.h"

#include <string_view>

namespace miradel {

enum class MediaVerb { Open, Close, Play, Seek, Status };

// One command of the media service, taken apart. The views point into the command string.
struct MediaCommand {
    MediaVerb verb = MediaVerb::Status;
    std::string_view alias;
    std::string_view path; // Open only
    bool fromStart = false; // Play "from 0"
};

// Reads the subset of the media command language that the service carries out:
//   open "<path>" alias <name> [notify]    (open <path> without quotes when it has no blank;
//                                           the quoted path runs to the last quote, so it may
//                                           hold quotes itself)
//   close <name> [notify]
//   play <name> [from 0] [notify]
//   seek <name> to start [notify]
//   status <name> mode
// Keywords and aliases compare without regard to letter case. Returns Ok and fills `parsed`,
// or the reason the command cannot be carried out. Never allocates: near the end of the music
// the watch sends a status command every millisecond.
MediaResult ParseMediaCommand(std::string_view command, MediaCommand& parsed);

bool EqualsIgnoringCase(std::string_view left, std::string_view right);

} // namespace miradel
