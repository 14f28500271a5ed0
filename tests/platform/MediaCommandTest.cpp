// SPDX-License-Identifier: MIT
#include "platform/MediaCommand.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

MediaCommand Parsed(std::string_view command)
{
    MediaCommand parsed;
    EXPECT_EQ(ParseMediaCommand(command, parsed), MediaResult::Ok) << command;
    return parsed;
}

MediaResult Result(std::string_view command)
{
    MediaCommand parsed;
    return ParseMediaCommand(command, parsed);
}

TEST(MediaCommand, ReadsTheCommandsOfTheMusicLoop)
{
    const MediaCommand open = Parsed("open \"/a b/\xE9\x9F\xB3.wav\" alias MIDI");
    EXPECT_EQ(open.verb, MediaVerb::Open);
    EXPECT_EQ(open.path, "/a b/\xE9\x9F\xB3.wav");
    EXPECT_EQ(open.alias, "MIDI");
    // The path is taken whole, whatever it holds: quotes, and bytes that are not UTF-8.
    const MediaCommand quoted = Parsed("open \"/games/\"best\" \x83\x51/bgm.wav\" alias MIDI");
    EXPECT_EQ(quoted.path, "/games/\"best\" \x83\x51/bgm.wav");
    EXPECT_EQ(quoted.alias, "MIDI");

    EXPECT_EQ(Parsed("close MIDI notify").verb, MediaVerb::Close);
    const MediaCommand play = Parsed("play MIDI notify");
    EXPECT_EQ(play.verb, MediaVerb::Play);
    EXPECT_FALSE(play.fromStart);
    EXPECT_TRUE(Parsed("play MIDI from 0").fromStart);
    EXPECT_EQ(Parsed("seek MIDI to start").verb, MediaVerb::Seek);
    const MediaCommand status = Parsed("status MIDI mode");
    EXPECT_EQ(status.verb, MediaVerb::Status);
    EXPECT_EQ(status.alias, "MIDI");
}

TEST(MediaCommand, KeywordsIgnoreLetterCaseAndExtraBlanks)
{
    EXPECT_EQ(Parsed("  STATUS  midi   Mode ").alias, "midi");
    EXPECT_TRUE(Parsed("Play MIDI FROM 0 NOTIFY").fromStart);
    EXPECT_EQ(Parsed("OPEN bare.wav ALIAS x").path, "bare.wav");
}

TEST(MediaCommand, OpenWithoutAliasGoesByThePath)
{
    EXPECT_EQ(Parsed("open \"a b.wav\"").alias, "a b.wav");
}

TEST(MediaCommand, RefusesWhatItCannotCarryOut)
{
    EXPECT_EQ(Result(""), MediaResult::UnrecognizedCommand);
    EXPECT_EQ(Result("pause MIDI"), MediaResult::UnrecognizedCommand);
    EXPECT_EQ(Result("status"), MediaResult::BadParameter);
    EXPECT_EQ(Result("status MIDI"), MediaResult::BadParameter);
    EXPECT_EQ(Result("status MIDI position"), MediaResult::BadParameter);
    EXPECT_EQ(Result("status MIDI mode notify"), MediaResult::BadParameter);
    EXPECT_EQ(Result("seek MIDI"), MediaResult::BadParameter);
    EXPECT_EQ(Result("seek MIDI to end"), MediaResult::BadParameter);
    EXPECT_EQ(Result("play MIDI from 500"), MediaResult::BadParameter);
    EXPECT_EQ(Result("play MIDI wait"), MediaResult::BadParameter);
    EXPECT_EQ(Result("open \"unclosed.wav alias MIDI"), MediaResult::BadParameter);
}

} // namespace
} // namespace miradel
