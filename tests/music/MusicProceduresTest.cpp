// SPDX-License-Identifier: MIT
#include "music/MusicProcedures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace miradel {
namespace {

// Records every command; answers "status" with a reply chosen by the test, as the real
// service does: at most replyLength bytes, its closing zero included.
class RecordingMediaControl final : public MediaControl {
public:
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override
    {
        commands.emplace_back(command);
        lengths.push_back(replyLength);
        if (reply != nullptr)
            replyAreas.emplace_back(reply, reply + replyLength);
        if (reply == nullptr || !answerStatus)
            return MediaResult::NotOpen;
        const std::size_t count = std::min(statusReply.size(), replyLength - 1);
        std::memcpy(reply, statusReply.data(), count);
        reply[count] = '\0';
        return MediaResult::Ok;
    }

    std::vector<std::string> commands;
    std::vector<std::size_t> lengths;
    std::vector<std::string> replyAreas; // as handed in, before the answer
    std::string statusReply = "playing";
    bool answerStatus = true;
};

class MusicProceduresTest : public testing::Test {
protected:
    void SetUp() override
    {
        UseMediaControl(service);
        共用関数::musicOn = false;
    }
    void TearDown() override { 共用関数::musicOn = false; }

    // The commands one tick sends, with the status query answered by `reply`.
    std::vector<std::string> TickWithReply(const std::string& reply)
    {
        service.commands.clear();
        service.lengths.clear();
        service.replyAreas.clear();
        service.statusReply = reply;
        BgmTim_Timer();
        return service.commands;
    }

    RecordingMediaControl service;
};

TEST_F(MusicProceduresTest, OpenPlayAndCloseSendTheirCommands)
{
    共用関数::PlayMusic();
    EXPECT_TRUE(service.commands.empty()) << "no play while the music is off";
    共用関数::OpenMusic(u"C:\\My Games\\ミラデル 1\\bgm.wav");
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    // A second open closes the first music.
    共用関数::OpenMusic(u"b.wav");
    共用関数::CloseMusic();
    const std::vector<std::string> expected = {
        "close MIDI notify",
        "open \"C:\\My Games\\\xE3\x83\x9F\xE3\x83\xA9\xE3\x83\x87\xE3\x83\xAB 1\\bgm.wav\" alias MIDI",
        "play MIDI notify",
        "close MIDI notify",
        "open \"b.wav\" alias MIDI",
        "close MIDI notify",
    };
    EXPECT_EQ(service.commands, expected);
    for (const std::size_t length : service.lengths)
        EXPECT_EQ(length, 0u);
}

// A tick asks for the mode with sixteen blanks and a length of 15, and restarts the music
// only when it is on and the reply starts with "stopped" in any letter case.
TEST_F(MusicProceduresTest, TickRestartsOnlyStoppedMusicThatIsOn)
{
    const std::vector<std::string> restart = { "status MIDI mode", "seek MIDI to start", "play MIDI from 0" };
    const std::vector<std::string> queryOnly = { "status MIDI mode" };
    const struct {
        bool on, answered;
        const char* reply;
        const std::vector<std::string>& sent;
    } rows[] = {
        { true, true, "stopped", restart },
        { true, true, "STOPPED", restart },
        { true, true, "sToPpEd", restart },
        { true, true, "stopped and more", restart },
        { false, true, "stopped", queryOnly },
        { true, false, "stopped", queryOnly },
        { true, true, "playing", queryOnly },
        { true, true, "not ready", queryOnly },
        { true, true, "", queryOnly },
        { true, true, "stoppe", queryOnly },
        { true, true, " stopped", queryOnly },
        { true, true, "st0pped", queryOnly },
    };
    for (const auto& row : rows) {
        共用関数::musicOn = row.on;
        service.answerStatus = row.answered;
        EXPECT_EQ(TickWithReply(row.reply), row.sent) << '"' << row.reply << '"' << row.on << row.answered;
        ASSERT_EQ(service.replyAreas.size(), 1u);
        EXPECT_EQ(service.replyAreas[0], std::string(15, ' '));
        EXPECT_EQ(service.lengths[0], 15u);
    }
}

using Clock = MediaControl::Clock;
using std::chrono::milliseconds;

// A service on a simulated clock whose music lasts `length` and plays from a restart to its
// end, or not at all when it cannot play; it says when the music can end as the real one
// does, and that a stopped or missing music changes only by a command.
class TimedMediaControl final : public MediaControl {
public:
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override
    {
        const std::string text = command;
        sent.push_back({ now, text });
        if (!open)
            return MediaResult::NotOpen;
        if ((text == "play MIDI notify" || text == "play MIDI from 0") && playable)
            endsAt = now + length;
        if (text == "status MIDI mode") {
            const std::string mode = Playing() ? "playing" : "stopped";
            std::memcpy(reply, mode.c_str(), std::min(mode.size() + 1, replyLength));
        }
        return MediaResult::Ok;
    }

    Clock::time_point NextModeChange(std::string_view /*alias*/) const override
    {
        return open && Playing() ? *endsAt : Clock::time_point::max();
    }

    bool Playing() const { return endsAt && now < *endsAt; }

    struct Sent {
        Clock::time_point at;
        std::string command;
    };
    Clock::time_point now;
    milliseconds length { 250 };
    bool open = true;
    bool playable = true;
    std::optional<Clock::time_point> endsAt;
    std::vector<Sent> sent;
};

// The watch on a simulated 1 ms timer: a tick is due at the moment that the watch last
// asked for, and never sooner than one interval after the tick before.
class MusicWatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        UseMediaControl(service);
        UseMusicWatchTimer([this](Clock::time_point at) { dueAt = at; });
        共用関数::musicOn = false;
    }
    void TearDown() override
    {
        UseMusicWatchTimer(nullptr);
        共用関数::musicOn = false;
    }

    void StartMusic()
    {
        共用関数::OpenMusic(u"bgm.wav");
        共用関数::musicOn = true;
        共用関数::PlayMusic();
    }

    // Runs the timer for `span` of simulated time; returns the number of ticks.
    int Run(milliseconds span)
    {
        int ticks = 0;
        const Clock::time_point end = service.now + span;
        while (service.now < end) {
            service.now += milliseconds(1);
            if (dueAt != Clock::time_point::max() && service.now >= dueAt
                && service.now >= lastTick + milliseconds(1)) {
                lastTick = service.now;
                ++ticks;
                BgmTim_Timer();
            }
        }
        return ticks;
    }

    std::vector<Clock::time_point> Times(const std::string& command) const
    {
        std::vector<Clock::time_point> times;
        for (const auto& sent : service.sent) {
            if (sent.command == command)
                times.push_back(sent.at);
        }
        return times;
    }

    TimedMediaControl service;
    Clock::time_point dueAt = Clock::time_point::min();
    Clock::time_point lastTick;
};

TEST_F(MusicWatchTest, RestartsOnTheTickAtTheEndAndSleepsInBetween)
{
    const Clock::time_point start = service.now;
    StartMusic();
    const int ticks = Run(milliseconds(1000));
    // Played at 0, it ends at 250, 500 and 750 ms: each restart on the tick at the end.
    std::vector<Clock::time_point> expected = { start + milliseconds(250), start + milliseconds(500),
        start + milliseconds(750), start + milliseconds(1000) };
    EXPECT_EQ(Times("play MIDI from 0"), expected);
    EXPECT_EQ(Times("seek MIDI to start"), expected);
    // The first tick after the commands of start-up, the restarts' ticks and nothing else.
    EXPECT_EQ(ticks, 5);
    expected.insert(expected.begin(), start + milliseconds(1));
    EXPECT_EQ(Times("status MIDI mode"), expected);
}

TEST_F(MusicWatchTest, MusicThatCannotPlayIsRetriedOnEveryTick)
{
    service.playable = false;
    StartMusic();
    EXPECT_EQ(Run(milliseconds(100)), 100);
    EXPECT_EQ(Times("play MIDI from 0").size(), 100u);
    // Once it plays, the watch sleeps until its end.
    service.playable = true;
    EXPECT_EQ(Run(milliseconds(100)), 1);
    EXPECT_EQ(Times("play MIDI from 0").size(), 101u);
}

TEST_F(MusicWatchTest, NothingIsSentWithoutMusic)
{
    // No music open: after the commands of start-up, one tick finds nothing, then none.
    service.open = false;
    StartMusic();
    const std::size_t atStartUp = service.sent.size();
    EXPECT_EQ(Run(milliseconds(1000)), 1);
    EXPECT_EQ(service.sent.size(), atStartUp + 1);

    // Music that ends while `musicOn` is off: a tick after the command, one at the end that
    // finds it stopped, then none.
    service.open = true;
    共用関数::PlayMusic();
    共用関数::musicOn = false;
    EXPECT_EQ(Run(milliseconds(1000)), 2);
    EXPECT_TRUE(Times("play MIDI from 0").empty());
}

TEST_F(MusicWatchTest, ServiceThatCannotTellIsAskedOnEveryTick)
{
    // A service without forecasts may change at any moment: the watch polls every 1 ms.
    RecordingMediaControl plain;
    UseMediaControl(plain);
    StartMusic();
    EXPECT_EQ(Run(milliseconds(50)), 50);
}

} // namespace
} // namespace miradel
