// SPDX-License-Identifier: MIT
#include "platform/MediaControlSdl.h"

#include "music/MusicProcedures.h"
#include "platform/MediaCommand.h"
#include "platform/MediaWaveRate.h"
#include "platform/SdlMixerLibrary.h"
#include "support/GameFolder.h"
#include "support/WavWriter.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <ranges>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace miradel {
namespace {

using namespace std::chrono_literals;
using test::WavEncoding;
using test::WavFormat;

// What SDL's disk driver writes: 16-bit stereo, at the rate of the music. None of the sounds
// here holds a zero, so a zero is silence.
using Samples = std::vector<std::int16_t>;

template <typename Condition> bool PollUntil(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Frame k holds k + 1 and -(k + 1): a copy that starts anywhere but at its beginning, or a
// sample left over from an earlier copy, shows.
Samples Ramp(int frames)
{
    Samples ramp;
    for (int k = 1; k <= frames; ++k)
        ramp.insert(ramp.end(), { static_cast<std::int16_t>(k), static_cast<std::int16_t>(-k) });
    return ramp;
}

// Passes every command on, counts the restarts that the watch sends, and the times that the
// music was found stopped before the moment that the service said it could end at the earliest.
struct CountingMediaControl final : MediaControl {
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override
    {
        restarts += std::string_view(command) == "play MIDI from 0" ? 1 : 0;
        const MediaResult result = inner->SendString(command, reply, replyLength);
        if (std::string_view(command) == "status MIDI mode" && result == MediaResult::Ok
            && std::string_view(reply).starts_with("stopped") && Clock::now() < promised)
            ++endsBeforeForecast;
        return result;
    }

    Clock::time_point NextModeChange(std::string_view alias) const override { return inner->NextModeChange(alias); }

    MediaControl* inner = nullptr;
    int restarts = 0;
    int endsBeforeForecast = 0;
    Clock::time_point promised = Clock::time_point::min();
};

class MediaControlSdlTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }

    // The other tests of this binary play on the dummy driver.
    void TearDown() override
    {
        service.reset();
        EXPECT_TRUE(DeviceClosed());
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("AUDIODEV");
    }

    // "close" leaves the device to the loader thread to close.
    static bool DeviceClosed() { return SdlMediaControl::WaitForLoaders(20s) && SDL_WasInit(SDL_INIT_AUDIO) == 0; }

    MediaResult Send(const std::string& command) { return service->SendString(command.c_str(), nullptr, 0); }
    MediaResult Open(const std::filesystem::path& path) { return Send("open \"" + path.string() + "\" alias MIDI"); }

    // The mode word, or nothing when the query fails; a failed query leaves the reply alone.
    std::optional<std::string> Mode()
    {
        char reply[16] = "untouched";
        if (service->SendString("status MIDI mode", reply, 15) != MediaResult::Ok) {
            EXPECT_STREQ(reply, "untouched");
            return std::nullopt;
        }
        return std::string(reply);
    }

    Samples ReadOutput() const
    {
        std::ifstream file(output, std::ios::binary);
        Samples samples;
        std::int16_t sample;
        while (file.read(reinterpret_cast<char*>(&sample), sizeof sample))
            samples.push_back(sample);
        return samples;
    }

    test::GameFolder temporary;
    // A blank in the path, as in many a user's folder.
    static constexpr const char* kMusic = "a folder/bgm.wav";
    const std::filesystem::path music = temporary.Path() / kMusic;
    const std::filesystem::path folder = music.parent_path();
    const std::filesystem::path output = folder / "output.raw";
    std::unique_ptr<SdlMediaControl> service = std::make_unique<SdlMediaControl>();
};

// The game's music and its watch (every millisecond here): every copy played is the sound, the
// last one cut by the close. Streamed, the mixer passes the samples through unchanged; Microsoft
// ADPCM goes through the whole-file decoder, each block of 500 frames decoding to 1, 2, 2, 2, ...
TEST_F(MediaControlSdlTest, MusicRestartsFromTheBeginningWithNothingStale)
{
    Samples decoded;
    for (int frame = 0; frame < 10000; ++frame)
        decoded.insert(decoded.end(), 2, frame % 500 == 0 ? 1 : 2);
    for (const auto& [name, format, sound] : { std::tuple { "streamed", WavFormat {}, Ramp(10000) },
             std::tuple { "decoded", WavFormat { WavEncoding::MsAdpcm, 2, 44100, 4, false }, decoded } }) {
        SCOPED_TRACE(name);
        std::filesystem::remove(output);
        temporary.WriteFile(kMusic, test::MakeWav(format, sound));
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "no device before a file is opened";
        CountingMediaControl counting;
        counting.inner = service.get();
        UseMediaControl(counting);
        UseMusicWatchTimer([&counting](MediaControl::Clock::time_point at) { counting.promised = at; });
        共用関数::OpenMusic(TextFromUtf8(music.string()));
        共用関数::musicOn = true;
        共用関数::PlayMusic();
        EXPECT_TRUE(PollUntil([&] {
            BgmTim_Timer();
            return counting.restarts >= 3;
        }));
        // A desktop's "end task" or a terminal's Ctrl+C must still end the program.
        for (const int signal : { SIGTERM, SIGINT }) {
            struct sigaction current { };
            ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
            EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
        }
        EXPECT_EQ(counting.endsBeforeForecast, 0) << "the watch would have slept through the end";
        UseMusicWatchTimer(nullptr);
        共用関数::CloseMusic();
        共用関数::musicOn = false;
        UseMediaControl(SystemMediaControl());
        EXPECT_TRUE(DeviceClosed()) << "closing the music closes the device";
        // The runs of sound between silences.
        std::vector<Samples> copies;
        for (const auto run : ReadOutput() | std::views::split(std::int16_t { 0 }))
            if (!run.empty())
                copies.emplace_back(run.begin(), run.end());
        ASSERT_GE(copies.size(), 3u);
        for (std::size_t i = 0; i + 1 < copies.size(); ++i)
            EXPECT_TRUE(copies[i] == sound) << "copy " << i << " of " << copies[i].size() << " samples";
        EXPECT_TRUE(std::equal(copies.back().begin(), copies.back().end(), sound.begin()));
    }
}

// At the music's own rate a sound plays for as many frames as it has. A file that cannot play,
// or a device that cannot open, leaves the alias dead, the device closed and stderr quiet (ALSA
// reports a device it cannot open there unless told otherwise).
TEST_F(MediaControlSdlTest, MusicPlaysAtItsOwnRateAndWhatCannotPlayStaysSilentAndQuiet)
{
    EXPECT_EQ(Open(folder / "no such bgm.wav"), MediaResult::FileNotFound);
    EXPECT_EQ(Mode(), std::nullopt);
    for (const char* command : { "play MIDI notify", "seek MIDI to start", "play MIDI from 0", "close MIDI notify" })
        EXPECT_EQ(Send(command), MediaResult::NotOpen) << command;
    const auto mono = [](int frames) {
        return test::MakeWav({ WavEncoding::Pcm, 1, 22050, 8, false }, std::vector<std::int16_t>(frames, 4000));
    };
    // A header that crashes the sound library when it trusts it: no channels, a division by zero.
    std::string noChannels = mono(2205);
    noChannels[22] = 0;
    // Frames played; -1: the alias dies.
    const std::tuple<std::string, const char*, int> rows[] = {
        { mono(2205), "disk", 2205 },
        { mono(0), "disk", 0 },
        { noChannels, "disk", -1 },
        { mono(2205), "no-such-driver", -1 },
        { mono(2205), "alsa", -1 },
    };
    setenv("AUDIODEV", "miradel_no_such_device", 1);
    for (const auto& [bytes, driver, frames] : rows) {
        SCOPED_TRACE(testing::Message() << driver << " " << frames);
        std::filesystem::remove(output);
        setenv("SDL_AUDIODRIVER", driver, 1);
        testing::internal::CaptureStderr();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        temporary.WriteFile(kMusic, bytes);
        EXPECT_EQ(Open(music), MediaResult::Ok) << "the file is read on the loader thread";
        // An empty sound, once loaded, may refuse to start; by the time of the play the loading
        // may have failed.
        const MediaResult played = Send("play MIDI notify");
        EXPECT_TRUE(played == MediaResult::Ok || frames == 0 || (frames < 0 && played == MediaResult::NotOpen))
            << static_cast<int>(played);
        if (frames >= 0) {
            EXPECT_TRUE(PollUntil([&] { return Mode() != "not ready"; }));
            EXPECT_TRUE(PollUntil([&] { return Mode() == "stopped"; }));
            // Another alias fails, an alias in use is not opened again.
            EXPECT_EQ(Send("status other mode"), MediaResult::NotOpen);
            EXPECT_EQ(Open(music), MediaResult::AliasInUse);
        } else {
            EXPECT_TRUE(PollUntil([&] { return Mode() == std::nullopt; }));
            EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
            EXPECT_EQ(Send("play MIDI from 0"), MediaResult::NotOpen);
        }
        // Aliases ignore letter case.
        ASSERT_EQ(Send("CLOSE midi"), MediaResult::Ok);
        ASSERT_TRUE(DeviceClosed());
        // SDL's disk driver says where it writes.
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(frames >= 0 || errors.empty()) << errors;
        const auto sounding = std::ranges::count_if(ReadOutput(), [](std::int16_t sample) { return sample != 0; }) / 2;
        EXPECT_GE(sounding, std::max(frames, 0) * 95 / 100);
        EXPECT_LE(sounding, std::max(frames, 0) * 105 / 100);
    }
}

TEST_F(MediaControlSdlTest, CloseReturnsAtOnceWhileTheDeviceOpenHangs)
{
    const SdlMixerLibrary* system = LoadSdlMixerLibrary();
    ASSERT_NE(system, nullptr);
    // A device open that hangs, as on a stalled sound server, until the test lets it fail.
    static std::atomic<bool> openEntered { false }, openReleased { false };
    SdlMixerLibrary hanging = *system;
    hanging.OpenAudio = [](int, Uint16, int, int) {
        openEntered = true;
        openEntered.notify_all();
        openReleased.wait(false);
        return -1;
    };
    service = std::make_unique<SdlMediaControl>([&hanging](std::stop_token) { return &hanging; });
    temporary.WriteFile(kMusic, test::MakeWav(WavFormat {}, Ramp(1000)));
    ASSERT_EQ(Open(music), MediaResult::Ok);
    ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
    openEntered.wait(false);
    // Closing, and then ending the service as the program's exit does, return while the open
    // still hangs.
    auto closing = std::async(std::launch::async, [&] {
        const MediaResult closed = Send("close MIDI notify");
        service.reset();
        return closed;
    });
    const bool returned = closing.wait_for(20s) == std::future_status::ready;
    openReleased = true;
    openReleased.notify_all();
    ASSERT_TRUE(returned) << "close waited for the device open";
    EXPECT_EQ(closing.get(), MediaResult::Ok);

    // The loader left behind cleans up once the open gives up; the next service gets the
    // device after it, and plays.
    service = std::make_unique<SdlMediaControl>();
    ASSERT_EQ(Open(music), MediaResult::Ok);
    ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
    EXPECT_TRUE(PollUntil([&] { return Mode() == "stopped"; }));
}

// The commands of the music loop; keywords ignore letter case and extra blanks; the path is
// taken whole, whatever it holds: blanks, quotes, bytes that are not UTF-8.
TEST(MediaCommand, ReadsTheCommandsOfTheMusicLoopAndRefusesTheRest)
{
    using enum MediaVerb;
    const struct {
        std::string_view command;
        MediaVerb verb;
        std::string_view alias, path = "";
        bool fromStart = false;
    } rows[] = {
        { "open \"/a b/\xE9\x9F\xB3.wav\" alias MIDI", Open, "MIDI", "/a b/\xE9\x9F\xB3.wav" },
        { "open \"/games/\"best\" \x83\x51/bgm.wav\" alias MIDI", Open, "MIDI", "/games/\"best\" \x83\x51/bgm.wav" },
        { "OPEN bare.wav ALIAS x", Open, "x", "bare.wav" },
        { "open \"a b.wav\"", Open, "a b.wav", "a b.wav" },
        { "close MIDI notify", Close, "MIDI" },
        { "play MIDI notify", Play, "MIDI" },
        { "Play MIDI FROM 0 NOTIFY", Play, "MIDI", "", true },
        { "seek MIDI to start", Seek, "MIDI" },
        { "  STATUS  midi   Mode ", Status, "midi" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        MediaCommand parsed;
        ASSERT_EQ(ParseMediaCommand(row.command, parsed), MediaResult::Ok);
        EXPECT_EQ(std::tie(parsed.verb, parsed.alias, parsed.path, parsed.fromStart),
            std::tie(row.verb, row.alias, row.path, row.fromStart));
    }
    for (const std::string_view command :
        { "", "pause MIDI", "status", "status MIDI", "status MIDI position", "status MIDI mode notify", "seek MIDI",
            "seek MIDI to end", "play MIDI from 500", "play MIDI wait", "open \"unclosed.wav alias MIDI" }) {
        MediaCommand parsed;
        const bool known = !command.empty() && !command.starts_with("pause");
        EXPECT_EQ(
            ParseMediaCommand(command, parsed), known ? MediaResult::BadParameter : MediaResult::UnrecognizedCommand)
            << command;
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
