// SPDX-License-Identifier: MIT
#include "platform/WaveHeader.h"

#include "support/WavWriter.h"

#include <gtest/gtest.h>

#include <cstring>

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

// A "smpl" chunk after the data declaring `declared` loops and holding `held`, each over
// frames `start` to `end`.
void AppendSampleLoops(std::vector<std::uint8_t>& bytes, std::uint32_t declared, std::uint32_t held,
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
    std::vector<std::uint8_t> looped = Wave();
    AppendSampleLoops(looped, 2, 2, 0, 999);
    EXPECT_EQ(Problem(looped), "");
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
    EXPECT_EQ(Problem(with(pcm, 22, 0, 2)), "it declares 0 channels (1 to 8 play)");
    // Nine channels with a block alignment that fits them: refused for the channels alone.
    EXPECT_EQ(Problem(with(with(pcm, 22, 9, 2), 32, 18, 2)), "it declares 9 channels (1 to 8 play)");
    EXPECT_NE(Problem(with(pcm, 24, 1, 4)).find("1 Hz"), std::string::npos);
    EXPECT_NE(Problem(with(pcm, 24, 7999, 4)).find("7999 Hz"), std::string::npos);
    EXPECT_NE(Problem(with(pcm, 24, 384001, 4)).find("384001 Hz"), std::string::npos);
    EXPECT_NE(Problem(with(pcm, 32, 0, 2)).find("block alignment"), std::string::npos);
    EXPECT_NE(Problem(with(pcm, 32, 3, 2)).find("block alignment"), std::string::npos);
    EXPECT_NE(Problem(with(ima, 32, 2, 2)).find("block alignment"), std::string::npos);
    // The data chunk's length says more than the file holds.
    EXPECT_NE(Problem(with(pcm, 40, 1u << 30, 4)).find("data chunk"), std::string::npos);

    std::vector<std::uint8_t> bomb = pcm;
    AppendSampleLoops(bomb, 100000, 1);
    EXPECT_NE(Problem(bomb).find("100000 loops"), std::string::npos);
    std::vector<std::uint8_t> short_ = pcm;
    AppendSampleLoops(short_, 3, 1);
    EXPECT_NE(Problem(short_).find("holds fewer"), std::string::npos);
    std::vector<std::uint8_t> outside = pcm;
    AppendSampleLoops(outside, 1, 1, 0, 1000);
    EXPECT_NE(Problem(outside).find("outside"), std::string::npos);

    EXPECT_NE(Problem({ 'R', 'I', 'F', 'X' }).find("not a RIFF WAVE"), std::string::npos);
    EXPECT_NE(Problem(std::vector<std::uint8_t>(pcm.begin(), pcm.begin() + 30)).find("\"fmt \""), std::string::npos);
}

} // namespace
} // namespace miradel
