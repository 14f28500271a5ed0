// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace miradel::test {

enum class WavEncoding { Pcm, Float, ImaAdpcm, MsAdpcm };

struct WavFormat {
    WavEncoding encoding = WavEncoding::Pcm;
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16; // Pcm: 8, 16, 24 or 32; Float: 32; ADPCM: ignored (4)
    bool extensible = false; // WAVE_FORMAT_EXTENSIBLE header, Pcm and Float only
};

// A RIFF WAVE file holding `samples` (16-bit, interleaved by channel) in the given format.
// PCM and float keep every value exactly (scaled to the width); the ADPCM encoders are the
// standard IMA and Microsoft ones, so decoded values only approximate the input. ADPCM data is
// padded with silence to whole blocks.
std::vector<std::uint8_t> MakeWav(const WavFormat& format, const std::vector<std::int16_t>& samples);

// Just the RIFF, fmt and data headers of a 16-bit stereo file whose data chunk is empty.
std::vector<std::uint8_t> MakeHeaderOnlyWav();

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace miradel::test
