// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the JPEG and WAV header readers, which run before the picture
// decoder and the sound library see a file, and checks what must hold for any input: they
// never read outside the file, and what they accept is what the budget and limits allow.

#include "platform/JpegHeader.h"
#include "platform/WaveHeader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckJpeg(std::string_view bytes)
{
    miradel::JpegHeader header;
    std::string problem;
    const miradel::JpegHeaderResult result = miradel::ReadJpegHeader(miradel::MemoryByteSource(bytes), header, problem);
    if (result == miradel::JpegHeaderResult::Broken)
        Check(!problem.empty(), "a broken header says why");
    if (result != miradel::JpegHeaderResult::Ok)
        return;
    Check(header.width > 0 && header.height > 0, "an accepted frame has a size");
    Check(header.components >= 1 && header.components <= 4, "an accepted frame has 1 to 4 components");
    for (int i = 0; i < header.components; ++i)
        Check(header.horizontalSampling[i] >= 1 && header.verticalSampling[i] >= 1, "sampling factors are positive");
    const std::uint64_t pixels
        = static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height) * 4;
    Check(miradel::JpegDecodeBytes(header) >= pixels, "decoding needs at least the pixels");
}

void CheckWave(std::string_view bytes)
{
    miradel::WaveHeader header;
    const std::string problem = miradel::CheckWaveHeader(miradel::MemoryByteSource(bytes), bytes.size(), header);
    if (!problem.empty())
        return;
    Check(header.channels >= 1 && header.channels <= 8, "accepted channels");
    Check(header.sampleRate >= 8000 && header.sampleRate <= 384000, "accepted rate");
    Check(header.blockAlign >= 1, "accepted block alignment");
    Check(header.dataSize <= bytes.size(), "the data lies inside the file");
    Check(header.sampleLoops <= miradel::kMostSampleLoops, "few loops");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckJpeg(input);
    CheckWave(input);
    return 0;
}
