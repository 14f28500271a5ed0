// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace miradel {

enum class OpenFailure { None, Missing, Unreadable };

// Opens a content file for reading without ever blocking on it: the descriptor, or -1 with
// `failure` set. Something that is not a regular file counts as missing.
int OpenContentFile(const std::filesystem::path& path, OpenFailure& failure);

} // namespace miradel
