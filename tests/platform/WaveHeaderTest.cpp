// SPDX-License-Identifier: MIT
#include "platform/WaveHeader.h"

#include "support/WavWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace miradel {
namespace {

using test::WavEncoding;
using test::WavFormat;

std::vector<std::uint8_t> Wave(const WavFormat& format = {}, int frames = 1000)
{
    return test::MakeWav(format, std::vector<std::int16_t>(static_cast<std::size_t>(frames * format.channels), 100));
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// `bytes` and a "smpl" chunk declaring `declared` loops and holding `held`, each over frames
// `start` to `end`.
std::vector<std::uint8_t> WithLoops(std::vector<std::uint8_t> bytes, std::uint32_t declared, std::uint32_t held,
    std::uint32_t start = 0, std::uint32_t end = 10)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + 8 + 36 + 24 * held);
    std::memcpy(bytes.data() + at, "smpl", 4);
    Put(bytes, at + 4, 36 + 24 * held, 4);
    Put(bytes, at + 8 + 28, declared, 4);
    for (std::uint32_t i = 0; i < held; ++i) {
        Put(bytes, at + 8 + 36 + 24 * i + 8, start, 4);
        Put(bytes, at + 8 + 36 + 24 * i + 12, end, 4);
    }
    return bytes;
}

std::string Problem(const std::vector<std::uint8_t>& bytes)
{
    WaveHeader header;
    return CheckWaveHeader(
        MemoryByteSource({ reinterpret_cast<const char*>(bytes.data()), bytes.size() }), bytes.size(), header);
}

TEST(WaveHeader, AcceptsWhatPlays)
{
    EXPECT_EQ(Problem(Wave()), "");
    EXPECT_EQ(Problem(Wave({ WavEncoding::ImaAdpcm, 2, 44100, 4, false })), "");
    EXPECT_EQ(Problem(Wave({ WavEncoding::Pcm, 8, 384000, 24, true }, 10)), "");
    EXPECT_EQ(Problem(Wave({ WavEncoding::Pcm, 1, 8000, 8, false })), "");
    EXPECT_EQ(Problem(WithLoops(Wave(), 2, 2, 0, 999)), "");
    // An empty data chunk plays nothing, harmlessly.
    EXPECT_EQ(Problem(test::MakeWav(WavFormat {}, {})), "");
}

// The files that crashed the sound library or took gigabytes, and their neighbours.
TEST(WaveHeader, RefusesHeadersTheSoundLibraryWouldTrust)
{
    const auto with = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value, int count) {
        Put(bytes, at, value, count);
        return bytes;
    };
    const std::vector<std::uint8_t> pcm = Wave();
    const std::vector<std::uint8_t> ima = Wave({ WavEncoding::ImaAdpcm, 1, 22050, 4, false });
    const std::pair<std::vector<std::uint8_t>, std::string> rows[] = {
        { with(pcm, 22, 0, 2), "it declares 0 channels (1 to 8 play)" },
        // Nine channels with a block alignment that fits them: refused for the channels alone.
        { with(with(pcm, 22, 9, 2), 32, 18, 2), "it declares 9 channels (1 to 8 play)" },
        { with(pcm, 24, 1, 4), "of 1 Hz" },
        { with(pcm, 24, 7999, 4), "of 7999 Hz" },
        { with(pcm, 24, 384001, 4), "of 384001 Hz" },
        { with(pcm, 32, 0, 2), "block alignment" },
        { with(pcm, 32, 3, 2), "block alignment" },
        { with(ima, 32, 2, 2), "block alignment" },
        // The data chunk's length says more than the file holds.
        { with(pcm, 40, 1u << 30, 4), "data chunk" },
        { WithLoops(pcm, 100000, 1), "100000 loops" },
        { WithLoops(pcm, 3, 1), "holds fewer" },
        { WithLoops(pcm, 1, 1, 0, 1000), "outside" },
        { { 'R', 'I', 'F', 'X' }, "not a RIFF WAVE" },
        { std::vector<std::uint8_t>(pcm.begin(), pcm.begin() + 30), "\"fmt \"" },
    };
    for (const auto& [bytes, problem] : rows)
        EXPECT_NE(Problem(bytes).find(problem), std::string::npos) << problem;
}

} // namespace
} // namespace miradel
