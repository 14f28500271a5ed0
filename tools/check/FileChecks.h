// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>

namespace miradel::check {

struct PictureVerdict {
    // Empty when the picture is a JPEG that the player shows.
    std::string problem;
    // The player cannot show it; otherwise it shows, but not as Windows' own decoder would.
    bool fatal = false;
};

// Reads the picture with the player's own loader (same header checks, same memory budget,
// decoded small), so that the checker's verdict is the player's.
PictureVerdict CheckPicture(const std::filesystem::path& path, const std::string& shownName);

// What keeps the music file from playing; empty when it decodes as a WAV file.
std::string MusicProblem(const std::filesystem::path& path);

} // namespace miradel::check
