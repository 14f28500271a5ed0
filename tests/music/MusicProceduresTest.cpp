// SPDX-License-Identifier: MIT
#include "music/MusicProcedures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace miradel {
namespace {

using Clock = MediaControl::Clock;

// Records every command and the reply area as handed in; answers "status" with a reply
// chosen by the test, as the real service does: at most replyLength bytes with the zero.
class MusicProceduresTest : public testing::Test, public MediaControl {
protected:
    MusicProceduresTest()
    {
        UseMediaControl(*this);
        UseMusicWatchTimer([this](Clock::time_point at) { tickAt = at; });
        共用関数::musicOn = false;
    }
    ~MusicProceduresTest() override
    {
        StopUsingMediaControl(*this);
        UseMusicWatchTimer(nullptr);
        共用関数::musicOn = false;
    }
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override
    {
        commands.emplace_back(command);
        if (reply != nullptr)
            replyArea.assign(reply, replyLength);
        if (reply == nullptr || !answerStatus)
            return MediaResult::NotOpen;
        std::snprintf(reply, replyLength, "%s", statusReply.c_str());
        return MediaResult::Ok;
    }
    Clock::time_point NextModeChange(std::string_view) const override { return nextChange; }

    std::vector<std::string> commands;
    std::string replyArea, statusReply;
    bool answerStatus = true;
    Clock::time_point nextChange, tickAt;
};

TEST_F(MusicProceduresTest, OpenPlayAndCloseSendTheirCommands)
{
    共用関数::PlayMusic();
    EXPECT_TRUE(commands.empty()) << "no play while the music is off";
    共用関数::OpenMusic(u"C:\\My Games\\ミラデル 1\\bgm.wav");
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    // A second open closes the first music.
    共用関数::OpenMusic(u"b.wav");
    tickAt = Clock::time_point::max();
    共用関数::CloseMusic();
    const std::vector<std::string> expected = {
        "close MIDI notify",
        "open \"C:\\My Games\\\xE3\x83\x9F\xE3\x83\xA9\xE3\x83\x87\xE3\x83\xAB 1\\bgm.wav\" alias MIDI",
        "play MIDI notify",
        "close MIDI notify",
        "open \"b.wav\" alias MIDI",
        "close MIDI notify",
    };
    EXPECT_EQ(commands, expected);
    // A command may change anything: the watch looks on the next tick.
    EXPECT_EQ(tickAt, Clock::time_point::min());
}

// A tick asks for the mode (sixteen blanks, length 15) and restarts music that is on when the
// reply starts with "stopped" in any case. The watch sleeps until the mode can change; a
// restart that did not take is tried again on the next tick.
TEST_F(MusicProceduresTest, TickRestartsOnlyStoppedMusicThatIsOn)
{
    const Clock::time_point end = Clock::time_point() + std::chrono::milliseconds(250);
    constexpr Clock::time_point kAnyMoment = Clock::time_point::min();
    constexpr Clock::time_point kNever = Clock::time_point::max();
    const struct {
        bool on, answered;
        const char* reply;
        bool restart;
        Clock::time_point nextChange, tickAt;
    } rows[] = {
        { true, true, "stopped", true, end, end },
        { true, true, "STOPPED", true, kNever, kAnyMoment },
        { true, true, "sToPpEd and more", true, kAnyMoment, kAnyMoment },
        { false, true, "stopped", false, kNever, kNever },
        { true, false, "stopped", false, kNever, kNever },
        { true, true, "playing", false, end, end },
        { true, true, "stoppe", false, kAnyMoment, kAnyMoment },
        { true, true, " stopped", false, kNever, kNever },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.reply) + (row.on ? " on" : " off") + (row.answered ? "" : " unanswered"));
        共用関数::musicOn = row.on;
        answerStatus = row.answered;
        statusReply = row.reply;
        nextChange = row.nextChange;
        commands.clear();
        BgmTim_Timer();
        std::vector<std::string> sent = { "status MIDI mode" };
        if (row.restart)
            sent.insert(sent.end(), { "seek MIDI to start", "play MIDI from 0" });
        EXPECT_EQ(commands, sent);
        EXPECT_EQ(replyArea, std::string(15, ' '));
        EXPECT_EQ(tickAt, row.tickAt);
    }
}

} // namespace
} // namespace miradel
