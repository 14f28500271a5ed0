#pragma once

#include <filesystem>
#include <string>

namespace miradel::check {

// What keeps a picture file from being shown as the JPEG the game expects; empty when it
// decodes. It is decoded with the player's own picture loader.
std::string PictureProblem(const std::filesystem::path& path, const std::string& shownName);

// What keeps the music file from playing; empty when it decodes as a WAV file.
std::string MusicProblem(const std::filesystem::path& path);

} // namespace miradel::check
