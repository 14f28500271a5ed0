// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace miradel::content {

// Writes mono 16-bit PCM as a RIFF WAVE file. Returns false when the file cannot be written.
bool WriteMonoWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace miradel::content
