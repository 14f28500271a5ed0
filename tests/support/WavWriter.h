// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace miradel::test {

enum class WavEncoding { Pcm, ImaAdpcm, MsAdpcm };

struct WavFormat {
    WavEncoding encoding = WavEncoding::Pcm;
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16; // Pcm: 8, 16 or 24; ADPCM: ignored (4)
    bool extensible = false; // WAVE_FORMAT_EXTENSIBLE header, Pcm only
};

// A RIFF WAVE file. PCM holds `samples` (16-bit, interleaved by channel) exactly, scaled to
// the width. ADPCM holds as many whole blocks as the samples need: MS blocks decode to the
// frames 1, 2, 2, 2, ... on every channel, IMA blocks to silence.
std::string MakeWav(const WavFormat& format, const std::vector<std::int16_t>& samples);

} // namespace miradel::test
