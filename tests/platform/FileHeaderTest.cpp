// SPDX-License-Identifier: MIT
#include "platform/JpegHeader.h"

#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "platform/WaveHeader.h"
#include "support/GameFolder.h"
#include "support/WavWriter.h"

#include <QBuffer>
#include <QImage>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>

namespace miradel {
namespace {

// A JPEG's markers up to its first scan, as an encoder writes them: SOI, an APP0 segment,
// the frame header (SOF marker `frame`) and the first scan's header.
std::string JpegStart(unsigned char frame, int width, int height, int precision = 8, int components = 3,
    int scanComponents = 3, unsigned char sampling = 0x11)
{
    std::string bytes = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF", 21);
    bytes += static_cast<char>(frame);
    const int length = 8 + 3 * components;
    for (int value :
        { length >> 8, length & 0xFF, precision, height >> 8, height & 0xFF, width >> 8, width & 0xFF, components })
        bytes += static_cast<char>(value);
    for (int i = 0; i < components; ++i)
        bytes += { static_cast<char>(i + 1), static_cast<char>(i == 0 ? sampling : 0x11), 0 };
    return bytes + std::string("\xFF\xDA\x00\x08", 4) + static_cast<char>(scanComponents)
        + std::string("\x01\x00\x00\x3F\x00", 5);
}

// Decoding needs the pixels; progressive, or with one component in the first scan, also every
// block of every component, 128 bytes each (in 4:2:0, MCUs of 16 x 16, the chroma components
// with a quarter of the blocks).
TEST(JpegHeader, ReadsTheFrameAndCountsWhatDecodingNeeds)
{
    using enum JpegHeaderResult;
    const std::string good = JpegStart(0xC0, 64, 64);
    const std::tuple<std::string, JpegHeaderResult, std::uint64_t> rows[] = {
        { JpegStart(0xC0, 640, 480, 8, 3, 3, 0x22), Ok, 640u * 480 * 4 },
        { JpegStart(0xC2, 8000, 8000), Ok, 8000ull * 8000 * 4 + 3ull * 1000 * 1000 * 128 },
        { JpegStart(0xC2, 17, 17, 8, 3, 1, 0x22), Ok, 17u * 17 * 4 + (16 + 4 + 4) * 128u },
        { JpegStart(0xC0, 800, 800, 8, 3, 1), Ok, 800u * 800 * 4 + 3u * 100 * 100 * 128 },
        { "\x89PNG\r\n\x1A\n", NotJpeg, 0 },
        { "", NotJpeg, 0 },
        { JpegStart(0xC0, 0, 64), Broken, 0 },
        { "\xFF\xD8" + good.substr(good.find("\xFF\xDA")), Broken, 0 },
    };
    JpegHeader header;
    std::string problem;
    const auto read
        = [&](const std::string& bytes) { return ReadJpegHeader(MemoryByteSource(bytes), header, problem); };
    for (const auto& [bytes, result, needed] : rows) {
        SCOPED_TRACE(testing::PrintToString(bytes.substr(0, 24)));
        ASSERT_EQ(read(bytes), result) << problem;
        EXPECT_EQ(result == Ok ? JpegDecodeBytes(header) : 0, needed);
    }
    ASSERT_EQ(read(JpegStart(0xC0, 64, 64, 8, 3, 3, 0x50)), Broken);
    EXPECT_NE(problem.find("sampling"), std::string::npos) << problem;
    ASSERT_EQ(read(JpegStart(0xC9, 64, 64)), Ok);
    EXPECT_TRUE(header.arithmetic);
    // Cut anywhere before the scan's header, the header is broken, never read past its end.
    for (std::size_t cut = 2; cut < good.size() - 5; ++cut)
        EXPECT_EQ(read(good.substr(0, cut)), Broken) << cut;
}

// The English reason of the RuntimeError that loading `bytes` throws, or nothing.
std::string Refusal(const std::string& bytes)
{
    try {
        const test::GameFolder folder;
        LoadPicture(folder.WriteFile("x.jpg", bytes), "img/x.jpg", { 32, 32 });
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "img/x.jpg");
        EXPECT_NE(error.Message().find("画像として読み込めません"), std::string::npos) << error.Message();
        return error.English();
    }
    return {};
}

// Refused before any decoding, saying why: nothing is allocated for a size that a few bytes
// claim, and the reason is the decoder's, not "Unknown error".
TEST(PictureFile, RefusesWhatCannotBeDecodedAndSaysWhyAndShowsTheRest)
{
    const std::string huge = Refusal(JpegStart(0xC0, 20000, 20000) + std::string(1000, '\0'));
    EXPECT_NE(huge.find("20000 x 20000"), std::string::npos) << huge;
    EXPECT_NE(Refusal(JpegStart(0xC2, 9000, 9000)).find("too large"), std::string::npos);
    EXPECT_NE(Refusal(JpegStart(0xC1, 64, 64, 12)).find("12-bit"), std::string::npos);
    EXPECT_NE(Refusal(JpegStart(0xC3, 64, 64, 16, 1, 1)).find("lossless"), std::string::npos);
    EXPECT_NE(Refusal("\xFF\xD8\xFF\xC0\x00").find("header"), std::string::npos);
    // An empty file and text saved as .jpg: refused, not shown blank.
    EXPECT_NE(Refusal(""), "");
    EXPECT_NE(Refusal("this is not a picture\r\n"), "");

    // Up to the budget, and in another format saved as .jpg, a picture shows as the decoder
    // reads it (the checker only warns).
    for (const auto& [format, side] : { std::pair { "JPG", 8000 }, std::pair { "PNG", 8 } }) {
        QImage image(side, side, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, format, 20));
        EXPECT_EQ(Refusal(bytes.toStdString()), "") << format;
    }
}

using test::WavEncoding;
using test::WavFormat;

std::string Wave(const WavFormat& format = {}, int frames = 1000)
{
    return test::MakeWav(format, std::vector<std::int16_t>(static_cast<std::size_t>(frames * format.channels), 100));
}

// `bytes` with the `count` bytes at `at` holding `value`, little-endian.
std::string With(std::string bytes, std::size_t at, std::uint32_t value, int count = 4)
{
    for (int i = 0; i < count; ++i)
        bytes.replace(at + static_cast<std::size_t>(i), 1, 1, static_cast<char>(value >> (8 * i)));
    return bytes;
}

// `bytes` and a "smpl" chunk declaring `declared` loops, holding `held` from `start` to `end`.
std::string WithLoops(
    std::string bytes, std::uint32_t declared, std::uint32_t held, std::uint32_t start = 0, std::uint32_t end = 10)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + 8 + 36 + 24 * held);
    std::memcpy(bytes.data() + at, "smpl", 4);
    bytes = With(With(bytes, at + 4, 36 + 24 * held), at + 8 + 28, declared);
    for (std::uint32_t i = 0; i < held; ++i)
        bytes = With(With(bytes, at + 8 + 36 + 24 * i + 8, start), at + 8 + 36 + 24 * i + 12, end);
    return bytes;
}

// What plays, and the files that crashed the sound library or took gigabytes, and neighbours.
TEST(WaveHeader, AcceptsWhatPlaysAndRefusesHeadersTheSoundLibraryWouldTrust)
{
    const std::string pcm = Wave();
    const std::string ima = Wave({ WavEncoding::ImaAdpcm, 1, 22050, 4, false });
    const std::pair<std::string, std::string> rows[] = {
        { pcm, "" },
        { Wave({ WavEncoding::ImaAdpcm, 2, 44100, 4, false }), "" },
        { Wave({ WavEncoding::Pcm, 8, 384000, 24, true }, 10), "" },
        { Wave({ WavEncoding::Pcm, 1, 8000, 8, false }), "" },
        { WithLoops(pcm, 2, 2, 0, 999), "" },
        // An empty data chunk plays nothing, harmlessly.
        { test::MakeWav(WavFormat {}, {}), "" },
        { With(pcm, 22, 0, 2), "it declares 0 channels (1 to 8 play)" },
        // Nine channels with a block alignment that fits them: refused for the channels alone.
        { With(With(pcm, 22, 9, 2), 32, 18, 2), "it declares 9 channels (1 to 8 play)" },
        { With(pcm, 24, 1), "of 1 Hz" },
        { With(pcm, 24, 7999), "of 7999 Hz" },
        { With(pcm, 24, 384001), "of 384001 Hz" },
        { With(pcm, 32, 0, 2), "block alignment" },
        { With(pcm, 32, 3, 2), "block alignment" },
        { With(ima, 32, 2, 2), "block alignment" },
        // The data chunk's length says more than the file holds.
        { With(pcm, 40, 1u << 30), "data chunk" },
        { WithLoops(pcm, 100000, 1), "100000 loops" },
        { WithLoops(pcm, 3, 1), "holds fewer" },
        { WithLoops(pcm, 1, 1, 0, 1000), "outside" },
        { "RIFX", "not a RIFF WAVE" },
        { pcm.substr(0, 30), "\"fmt \"" },
    };
    for (const auto& [bytes, problem] : rows) {
        WaveHeader header;
        const std::string found = CheckWaveHeader(MemoryByteSource(bytes), bytes.size(), header);
        EXPECT_NE(found.find(problem), std::string::npos) << problem;
        EXPECT_EQ(found.empty(), problem.empty()) << found;
    }
}

} // namespace
} // namespace miradel
