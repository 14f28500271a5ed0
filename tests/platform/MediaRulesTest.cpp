// SPDX-License-Identifier: MIT
#include "platform/MediaCommand.h"
#include "platform/MediaWaveRate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace miradel {
namespace {

// The commands of the music loop; keywords ignore letter case and extra blanks; the path is
// taken whole, whatever it holds: blanks, quotes, bytes that are not UTF-8.
TEST(MediaCommand, ReadsTheCommandsOfTheMusicLoopAndRefusesTheRest)
{
    using enum MediaVerb;
    const struct {
        std::string_view command;
        MediaVerb verb;
        std::string_view alias, path;
        bool fromStart;
    } rows[] = {
        { "open \"/a b/\xE9\x9F\xB3.wav\" alias MIDI", Open, "MIDI", "/a b/\xE9\x9F\xB3.wav", false },
        { "open \"/games/\"best\" \x83\x51/bgm.wav\" alias MIDI", Open, "MIDI", "/games/\"best\" \x83\x51/bgm.wav",
            false },
        { "OPEN bare.wav ALIAS x", Open, "x", "bare.wav", false },
        { "open \"a b.wav\"", Open, "a b.wav", "a b.wav", false },
        { "close MIDI notify", Close, "MIDI", "", false },
        { "play MIDI notify", Play, "MIDI", "", false },
        { "Play MIDI FROM 0 NOTIFY", Play, "MIDI", "", true },
        { "seek MIDI to start", Seek, "MIDI", "", false },
        { "  STATUS  midi   Mode ", Status, "midi", "", false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        MediaCommand parsed;
        ASSERT_EQ(ParseMediaCommand(row.command, parsed), MediaResult::Ok);
        EXPECT_EQ(parsed.verb, row.verb);
        EXPECT_EQ(parsed.alias, row.alias);
        EXPECT_EQ(parsed.path, row.path);
        EXPECT_EQ(parsed.fromStart, row.fromStart);
    }
    using enum MediaResult;
    const std::pair<std::string_view, MediaResult> refused[] = {
        { "", UnrecognizedCommand },
        { "pause MIDI", UnrecognizedCommand },
        { "status", BadParameter },
        { "status MIDI", BadParameter },
        { "status MIDI position", BadParameter },
        { "status MIDI mode notify", BadParameter },
        { "seek MIDI", BadParameter },
        { "seek MIDI to end", BadParameter },
        { "play MIDI from 500", BadParameter },
        { "play MIDI wait", BadParameter },
        { "open \"unclosed.wav alias MIDI", BadParameter },
    };
    for (const auto& [command, result] : refused) {
        MediaCommand parsed;
        EXPECT_EQ(ParseMediaCommand(command, parsed), result) << command;
    }
}

// Lengths from a fraction of a second to an hour, at the common rates: the buffer is between
// 25 and 100 ms, and the silence after the end of the sound at most 2 ms.
TEST(LoopBufferFrames, SoundEndsWithinTwoMillisecondsOfABufferEnd)
{
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
    // Nothing to play, or a sound shorter than the shortest buffer less the gap allowed.
    EXPECT_EQ(LoopBufferFramesFor(0, 44100), BufferFramesFor(44100));
    EXPECT_EQ(LoopBufferFramesFor(100, 44100), BufferFramesFor(44100));
}

} // namespace
} // namespace miradel
