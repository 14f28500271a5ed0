// SPDX-License-Identifier: MIT
#include "platform/JpegHeader.h"
#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "support/GameFolder.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace miradel {
namespace {

// A JPEG's markers up to its first scan, as an encoder writes them: SOI, an APP0 segment,
// the frame header (SOF marker `frame`) and the first scan's header.
std::string JpegStart(unsigned char frame, int width, int height, int precision = 8, int components = 3,
    int scanComponents = 3, unsigned char sampling = 0x11)
{
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes += std::string("\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 16);
    bytes += "\xFF";
    bytes += static_cast<char>(frame);
    const int length = 8 + 3 * components;
    for (int value :
        { length >> 8, length & 0xFF, precision, height >> 8, height & 0xFF, width >> 8, width & 0xFF, components })
        bytes += static_cast<char>(value);
    for (int i = 0; i < components; ++i)
        bytes += { static_cast<char>(i + 1), static_cast<char>(i == 0 ? sampling : 0x11), 0 };
    bytes += std::string("\xFF\xDA\x00\x08", 4);
    bytes += static_cast<char>(scanComponents);
    bytes += std::string("\x01\x00\x00\x3F\x00", 5);
    return bytes;
}

JpegHeaderResult Read(const std::string& bytes, JpegHeader& header, std::string& problem)
{
    return ReadJpegHeader(MemoryByteSource(bytes), header, problem);
}

// What decoding needs: the pixels; for a progressive picture, or one whose first scan holds one
// component, also every block of every component, 128 bytes each (in 4:2:0, MCUs of 16 x 16,
// the chroma components with a quarter of the blocks).
TEST(JpegHeader, ReadsTheFrameAndCountsWhatDecodingNeeds)
{
    const std::pair<std::string, std::uint64_t> rows[] = {
        { JpegStart(0xC0, 640, 480, 8, 3, 3, 0x22), 640u * 480 * 4 },
        { JpegStart(0xC2, 8000, 8000), 8000ull * 8000 * 4 + 3ull * 1000 * 1000 * 128 },
        { JpegStart(0xC2, 17, 17, 8, 3, 1, 0x22), 17u * 17 * 4 + (16 + 4 + 4) * 128u },
        { JpegStart(0xC0, 800, 800, 8, 3, 1), 800u * 800 * 4 + 3u * 100 * 100 * 128 },
    };
    JpegHeader header;
    std::string problem;
    for (const auto& [bytes, needed] : rows) {
        ASSERT_EQ(Read(bytes, header, problem), JpegHeaderResult::Ok) << problem;
        EXPECT_EQ(JpegDecodeBytes(header), needed);
    }
    ASSERT_EQ(Read(JpegStart(0xC9, 64, 64), header, problem), JpegHeaderResult::Ok);
    EXPECT_TRUE(header.arithmetic);
}

TEST(JpegHeader, TellsOtherFormatsAndBrokenHeadersApart)
{
    JpegHeader header;
    std::string problem;
    EXPECT_EQ(Read("\x89PNG\r\n\x1A\n", header, problem), JpegHeaderResult::NotJpeg);
    EXPECT_EQ(Read("", header, problem), JpegHeaderResult::NotJpeg);
    const std::string good = JpegStart(0xC0, 64, 64);
    // Cut anywhere before the scan's header, the header is broken, never read past its end.
    for (std::size_t cut = 2; cut < good.size() - 5; ++cut)
        EXPECT_EQ(Read(good.substr(0, cut), header, problem), JpegHeaderResult::Broken) << cut;
    EXPECT_EQ(Read(JpegStart(0xC0, 0, 64), header, problem), JpegHeaderResult::Broken);
    EXPECT_EQ(Read(JpegStart(0xC0, 64, 64, 8, 3, 3, 0x50), header, problem), JpegHeaderResult::Broken);
    EXPECT_NE(problem.find("sampling"), std::string::npos) << problem;
    std::string noFrame = "\xFF\xD8" + good.substr(good.find("\xFF\xDA"));
    EXPECT_EQ(Read(noFrame, header, problem), JpegHeaderResult::Broken);
}

class PictureFile : public testing::Test {
protected:
    // The RuntimeError that loading `bytes` throws, or none.
    std::string Refusal(const std::string& bytes)
    {
        try {
            LoadPicture(m_folder.WriteFile("x.jpg", bytes), "img/x.jpg", { 32, 32 });
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.File(), "img/x.jpg");
            EXPECT_NE(error.Message().find("画像として読み込めません"), std::string::npos) << error.Message();
            return error.English();
        }
        return {};
    }

    test::GameFolder m_folder;
};

// Refused before any decoding, saying why: nothing is allocated for a size that a few bytes
// claim, and the reason is the decoder's, not "Unknown error".
TEST_F(PictureFile, RefusesWhatCannotBeDecodedAndSaysWhy)
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
}

// Up to the budget, and in another format saved as .jpg, a picture shows as the decoder reads
// it (the checker only warns).
TEST_F(PictureFile, ShowsPicturesUpToTheBudget)
{
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

} // namespace
} // namespace miradel
