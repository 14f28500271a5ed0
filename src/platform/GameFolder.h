// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <optional>
#include <string_view>

namespace miradel {

// The folder named on the command line, absolute and ending in "/"; empty when it is not a
// folder that exists.
std::optional<Text> NamedGameFolder(std::string_view argument);

// The folder a game is played from when none is named: the executable's own folder when a
// game lies beside it (a build folder, or the program copied into a game), otherwise the
// bundled game installed at `installedGame` relative to that folder, when it exists. Both
// folders end in "/". With neither, the executable's folder, where the missing files are
// then reported.
Text DefaultGameFolder(TextView executableFolder, TextView installedGame);

} // namespace miradel
