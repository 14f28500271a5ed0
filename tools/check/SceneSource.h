// SPDX-License-Identifier: MIT
#pragma once

#include "Findings.h"
#include "platform/Text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace miradel::check {

// A scene file as the player reads it: its lines split and decoded by the player's own
// reader. Reading it reports bytes that code page 932 does not have, or a whole file that
// is in another encoding, as warnings; a file that cannot be read is an error.
struct SceneSource {
    bool readable = false;
    std::vector<Text> lines;
};

SceneSource ReadSceneSource(const std::filesystem::path& path, const std::string& shownName, Findings& findings);

// The same from bytes already in memory.
SceneSource DecodeSceneSource(std::string_view bytes, const std::string& shownName, Findings& findings);

} // namespace miradel::check
