// SPDX-License-Identifier: MIT
// Checks the game folder the build lays out: every file the game can open is there and
// reads back the way the player reads it.

#include "StoryScenes.h"
#include "game/SceneNames.h"
#include "platform/Cp932.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

namespace miradel::content {

namespace {

const std::string kGameDir = MIRADEL_GAME_DIR;

TEST(BundledGame, EverySceneReadsBackAsWritten)
{
    for (const StoryScene& scene : LoadStory()) {
        const std::string bytes = ReadWholeFile(kGameDir + "/txt/" + scene.name + ".dat");
        ASSERT_FALSE(bytes.empty()) << scene.name;
        // Every line ends in CR LF: no LF stands alone, which the player would not split on.
        for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
            ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << scene.name << " byte " << at;
        }
        EXPECT_EQ(SplitSourceLines(TextToUtf8(DecodeCp932(bytes))), scene.lines) << scene.name;
    }
}

QImage LoadPicture(const std::string& name)
{
    return QImage(QString::fromStdString(kGameDir + "/img/" + name + ".jpg"));
}

// The share of pixels whose brightness differs by more than a JPEG's noise.
double ChangedShare(const QImage& a, const QImage& b)
{
    long long changed = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 40) {
                ++changed;
            }
        }
    }
    return static_cast<double>(changed) / (static_cast<double>(a.width()) * a.height());
}

TEST(BundledGame, EveryPictureDecodesAtThePaintedSize)
{
    for (const std::string& name : Utf8Names(PicturesTheGameShows())) {
        const QImage picture = LoadPicture(name);
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size(), QSize(640, 480)) << name;
        // Not a flat fill: the corners and the centre differ.
        EXPECT_NE(picture.pixel(5, 5), picture.pixel(320, 240)) << name;
    }
}

TEST(BundledGame, BlinkFramesDifferVisiblyFromTheirPictures)
{
    for (const std::string& name : Utf8Names(BlinkingPictures())) {
        const QImage picture = LoadPicture(name);
        const QImage blink = LoadPicture(name + "_");
        ASSERT_FALSE(blink.isNull()) << name;
        ASSERT_EQ(blink.size(), picture.size()) << name;
        const double share = ChangedShare(picture, blink);
        EXPECT_GT(share, 0.002) << name << ": the blink would not be seen";
        EXPECT_LT(share, 0.2) << name << ": the blink frame is another picture";
    }
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

TEST(BundledGame, MusicIsAHalfMinuteLoopThatStartsAndEndsInSilence)
{
    const std::string wave = ReadWholeFile(kGameDir + "/bgm.wav");
    ASSERT_GE(wave.size(), 44u);
    ASSERT_EQ(wave.substr(0, 4), "RIFF");
    ASSERT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(LittleEndian(wave, 20, 2), 1u); // PCM
    EXPECT_EQ(LittleEndian(wave, 24, 4), 44100u); // sample rate
    ASSERT_EQ(LittleEndian(wave, 34, 2), 16u); // bits per sample
    const std::uint32_t channels = LittleEndian(wave, 22, 2);
    ASSERT_EQ(wave.substr(36, 4), "data");
    const std::uint32_t dataBytes = LittleEndian(wave, 40, 4);
    ASSERT_EQ(wave.size(), 44u + dataBytes);
    const double seconds = dataBytes / (2.0 * channels * 44100.0);
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 60.0);
    // The player restarts from the beginning: both ends near silence, or the seam clicks.
    const auto sample
        = [&wave](std::size_t index) { return static_cast<std::int16_t>(LittleEndian(wave, 44 + index * 2, 2)); };
    const std::size_t count = dataBytes / 2;
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_LE(std::abs(sample(i)), 64) << "sample " << i;
        EXPECT_LE(std::abs(sample(count - 1 - i)), 64) << "sample " << count - 1 - i;
    }
    EXPECT_EQ(sample(0), 0);
    EXPECT_EQ(sample(count - 1), 0);
}

} // namespace

} // namespace miradel::content
