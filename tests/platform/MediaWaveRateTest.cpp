// SPDX-License-Identifier: MIT
#include "platform/MediaWaveRate.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace miradel {
namespace {

TEST(LoopBufferFramesTest, SoundEndsWithinTwoMillisecondsOfABufferEnd)
{
    // Lengths from a fraction of a second to an hour, at the common rates: the buffer is
    // between 25 and 100 ms, and the silence after the end of the sound at most 2 ms.
    for (const int rate : { 8000, 11025, 22050, 32000, 44100, 48000, 96000 }) {
        for (std::int64_t frames = rate / 5; frames <= std::int64_t { 3600 } * rate; frames = frames * 3 / 2 + 7) {
            SCOPED_TRACE(testing::Message() << frames << " frames at " << rate << " Hz");
            const int buffer = LoopBufferFramesFor(frames, rate);
            EXPECT_GE(buffer, rate / 40);
            EXPECT_LE(buffer, rate / 10);
            const std::int64_t rest = frames % buffer;
            EXPECT_NE(rest, 0) << "an end right at a buffer's end";
            EXPECT_LE(buffer - rest, rate / 500);
        }
    }
}

TEST(LoopBufferFramesTest, NoLengthThatFitsFallsBackToTheShortBuffer)
{
    // Nothing to play, or a sound shorter than the shortest buffer less the gap allowed.
    EXPECT_EQ(LoopBufferFramesFor(0, 44100), BufferFramesFor(44100));
    EXPECT_EQ(LoopBufferFramesFor(100, 44100), BufferFramesFor(44100));
}

} // namespace
} // namespace miradel
