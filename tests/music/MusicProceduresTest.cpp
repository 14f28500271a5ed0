#include "music/MusicProcedures.h"

#include <gtest/gtest.h>

#include <cstring>
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
        service.statusReply = reply;
        BgmTim_Timer();
        return service.commands;
    }

    RecordingMediaControl service;
};

const std::vector<std::string> kRestart = { "status MIDI mode", "seek MIDI to start", "play MIDI from 0" };
const std::vector<std::string> kQueryOnly = { "status MIDI mode" };

TEST_F(MusicProceduresTest, StartUpAndShutdownSendTheCommandsInOrder)
{
    // The order in which the application starts and ends the music.
    共用関数::OpenMusic(u"/games/miradel/bgm.wav");
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    共用関数::CloseMusic();
    const std::vector<std::string> expected = {
        "close MIDI notify",
        "open \"/games/miradel/bgm.wav\" alias MIDI",
        "play MIDI notify",
        "close MIDI notify",
    };
    EXPECT_EQ(service.commands, expected);
    for (const std::size_t length : service.lengths)
        EXPECT_EQ(length, 0u);
}

TEST_F(MusicProceduresTest, OpenQuotesThePathAsUtf8)
{
    共用関数::OpenMusic(u"C:\\My Games\\ミラデル 1\\bgm.wav");
    ASSERT_EQ(service.commands.size(), 2u);
    EXPECT_EQ(service.commands[1], "open \"C:\\My Games\\\xE3\x83\x9F\xE3\x83\xA9\xE3\x83\x87\xE3\x83\xAB 1\\bgm.wav\" alias MIDI");
}

TEST_F(MusicProceduresTest, SecondOpenClosesTheFirstMusic)
{
    共用関数::OpenMusic(u"a.wav");
    共用関数::OpenMusic(u"b.wav");
    const std::vector<std::string> expected = {
        "close MIDI notify", "open \"a.wav\" alias MIDI",
        "close MIDI notify", "open \"b.wav\" alias MIDI",
    };
    EXPECT_EQ(service.commands, expected);
}

TEST_F(MusicProceduresTest, PlayOnlyWhileMusicIsOn)
{
    共用関数::PlayMusic();
    EXPECT_TRUE(service.commands.empty());
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    EXPECT_EQ(service.commands, std::vector<std::string> { "play MIDI notify" });
}

TEST_F(MusicProceduresTest, TickQueriesWithSixteenBlanksAndLengthFifteen)
{
    BgmTim_Timer();
    ASSERT_EQ(service.replyAreas.size(), 1u);
    EXPECT_EQ(service.replyAreas[0], std::string(15, ' '));
    EXPECT_EQ(service.lengths[0], 15u);
}

TEST_F(MusicProceduresTest, TickRestartsOnStoppedInAnyLetterCase)
{
    共用関数::musicOn = true;
    for (const char* reply : { "stopped", "STOPPED", "Stopped", "sToPpEd", "stopped and more" })
        EXPECT_EQ(TickWithReply(reply), kRestart) << reply;
}

TEST_F(MusicProceduresTest, TickSendsNothingMoreOnAnyOtherReply)
{
    共用関数::musicOn = true;
    // Other mode words of a media service, and near misses of "stopped".
    for (const char* reply : { "playing", "not ready", "paused", "open", "", "stoppe", " stopped", "stop", "st0pped" })
        EXPECT_EQ(TickWithReply(reply), kQueryOnly) << '"' << reply << '"';
}

TEST_F(MusicProceduresTest, TickSendsNothingMoreWhenTheQueryFails)
{
    共用関数::musicOn = true;
    service.answerStatus = false;
    EXPECT_EQ(TickWithReply("stopped"), kQueryOnly);
}

TEST_F(MusicProceduresTest, TickDoesNotRestartWhileMusicIsOff)
{
    EXPECT_EQ(TickWithReply("stopped"), kQueryOnly);
}

} // namespace
} // namespace miradel
