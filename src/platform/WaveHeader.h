// SPDX-License-Identifier: MIT
#pragma once

#include "platform/JpegHeader.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace miradel {

// What the header of a RIFF WAVE file declares, as far as playing it depends on it.
struct WaveHeader {
    int formatTag = 0;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    std::uint64_t dataSize = 0;
    std::uint32_t sampleLoops = 0;
};

// Checks a music file's header before the sound library sees it, which trusts it: a header
// with no channels divides by zero inside it, a sample rate of 1 Hz makes it resample into
// gigabytes, a "smpl" chunk that declares more loops than it holds is read past its end.
// Accepted: 1 to 8 channels, 8,000 to 384,000 Hz, a block alignment that fits the format,
// a data chunk inside the file, and at most kMostSampleLoops loops inside the data.
// Returns the problem in English, or the empty text for a file that may be played.
inline constexpr std::uint32_t kMostSampleLoops = 16;
std::string CheckWaveHeader(const ByteSource& source, std::uint64_t fileSize, WaveHeader& header);

// The same for a file on disk, opened as a content file (WaveFile.cpp: the rules above need
// no file system, so that they are fuzzed alone).
std::string WaveFileProblem(const std::filesystem::path& path);

} // namespace miradel
