// SPDX-License-Identifier: MIT
#include "platform/MediaControlSdl.h"

#include "music/MusicProcedures.h"
#include "platform/SdlMixerLibrary.h"
#include "support/GameFolder.h"
#include "support/WavWriter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace miradel {
namespace {

using namespace std::chrono_literals;
using test::WavEncoding;
using test::WavFormat;

// SDL's disk driver writes what the mixer plays: 16-bit stereo, here at 44.1 kHz, the rate of
// the loop tests' files (the service opens the device at the music's own rate).
constexpr int kOutputRate = 44100;

struct Frame {
    std::int16_t left = 0;
    std::int16_t right = 0;
    bool Silent() const { return left == 0 && right == 0; }
};

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    void Set(const std::string& name, const std::string& value)
    {
        if (!m_saved.contains(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

template <typename Condition> bool PollUntil(Condition condition, std::chrono::milliseconds limit = 20s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A ramp that no restart can fake: frame k (from 0) holds k + 1 on the left and -(k + 1) on
// the right, so a copy that starts anywhere but its beginning, or a sample left over from an
// earlier copy, shows.
std::vector<std::int16_t> Ramp(int frames)
{
    std::vector<std::int16_t> samples;
    for (int k = 1; k <= frames; ++k) {
        samples.push_back(static_cast<std::int16_t>(k));
        samples.push_back(static_cast<std::int16_t>(-k));
    }
    return samples;
}

// Runs of sound in the output, split at silence; returns the lengths of the silent gaps
// between them.
struct Runs {
    std::vector<std::vector<Frame>> sounds;
    std::vector<std::size_t> gaps;
};

Runs SplitAtSilence(const std::vector<Frame>& frames)
{
    Runs runs;
    std::size_t silent = 0;
    for (const Frame& frame : frames) {
        if (frame.Silent()) {
            ++silent;
            continue;
        }
        if (runs.sounds.empty() || silent > 0) {
            if (!runs.sounds.empty())
                runs.gaps.push_back(silent);
            runs.sounds.emplace_back();
        }
        silent = 0;
        runs.sounds.back().push_back(frame);
    }
    return runs;
}

bool IsRampPrefix(const std::vector<Frame>& run)
{
    for (std::size_t k = 0; k < run.size(); ++k) {
        const auto expected = static_cast<int>(k + 1);
        if (run[k].left != expected || run[k].right != -expected)
            return false;
    }
    return true;
}

// Passes every command on to the real service and counts the restarts that the watch sends,
// and the times that the music was found stopped before the moment that the service had
// said it could end at the earliest.
class CountingMediaControl final : public MediaControl {
public:
    explicit CountingMediaControl(MediaControl& inner)
        : m_inner(inner)
    {
    }

    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override
    {
        restarts += std::string_view(command) == "play MIDI from 0" ? 1 : 0;
        const MediaResult result = m_inner.SendString(command, reply, replyLength);
        if (std::string_view(command) == "status MIDI mode" && result == MediaResult::Ok
            && std::string_view(reply).starts_with("stopped") && Clock::now() < promised)
            ++endsBeforeForecast;
        return result;
    }

    Clock::time_point NextModeChange(std::string_view alias) const override { return m_inner.NextModeChange(alias); }

    int restarts = 0;
    int endsBeforeForecast = 0;
    Clock::time_point promised = Clock::time_point::min();

private:
    MediaControl& m_inner;
};

class MediaControlSdlTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder);
        environment.Set("SDL_AUDIODRIVER", "disk");
        environment.Set("SDL_DISKAUDIOFILE", output.string());
    }

    void TearDown() override
    {
        service.reset();
        EXPECT_TRUE(DeviceClosed());
    }

    // "close" leaves the device to the loader thread to close.
    static bool DeviceClosed() { return SdlMediaControl::WaitForLoaders(20s) && SDL_WasInit(SDL_INIT_AUDIO) == 0; }

    MediaResult Send(const std::string& command) { return service->SendString(command.c_str(), nullptr, 0); }

    // The mode word, or nothing when the query fails; a failed query must leave the area alone.
    std::optional<std::string> Mode()
    {
        char reply[16] = "untouched";
        if (service->SendString("status MIDI mode", reply, 15) != MediaResult::Ok) {
            EXPECT_STREQ(reply, "untouched");
            return std::nullopt;
        }
        return std::string(reply);
    }

    // The file loads behind the open command: by the time of the play it may have failed.
    bool PlayTakenOrAlreadyDead()
    {
        const MediaResult played = Send("play MIDI notify");
        return played == MediaResult::Ok || played == MediaResult::NotOpen;
    }

    bool WaitForMode(const std::optional<std::string>& mode)
    {
        return PollUntil([&] { return Mode() == mode; });
    }

    MediaResult Open(const std::filesystem::path& path) { return Send("open \"" + path.string() + "\" alias MIDI"); }

    std::filesystem::path WriteMusic(const std::vector<std::uint8_t>& bytes) const
    {
        test::WriteFile(folder / "bgm.wav", bytes);
        return folder / "bgm.wav";
    }

    std::vector<Frame> ReadOutput() const
    {
        std::ifstream file(output, std::ios::binary);
        std::vector<Frame> frames;
        Frame frame;
        while (file.read(reinterpret_cast<char*>(&frame), sizeof frame))
            frames.push_back(frame);
        return frames;
    }

    // Starts the music as the application does, runs the watch until it has restarted the
    // music three times, closes it, and returns what the device played. The watch ticks
    // every millisecond here, and checks the service's forecasts of the end against it.
    Runs PlayInLoop(const WavFormat& format, const std::vector<std::int16_t>& samples)
    {
        const std::filesystem::path music = folder / "bgm.wav";
        test::WriteFile(music, test::MakeWav(format, samples));
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "no device before a file is opened";
        CountingMediaControl counting(*service);
        UseMediaControl(counting);
        UseMusicWatchTimer([&counting](MediaControl::Clock::time_point at) { counting.promised = at; });
        共用関数::OpenMusic(TextFromUtf8(music.string()));
        共用関数::musicOn = true;
        共用関数::PlayMusic();
        EXPECT_TRUE(PollUntil([&] {
            BgmTim_Timer();
            return counting.restarts >= 3;
        }));
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(counting.endsBeforeForecast, 0) << "the watch would have slept through the end";
        UseMusicWatchTimer(nullptr);
        共用関数::CloseMusic();
        共用関数::musicOn = false;
        UseMediaControl(SystemMediaControl());
        EXPECT_TRUE(DeviceClosed()) << "closing the music closes the device";
        const Runs runs = SplitAtSilence(ReadOutput());
        for (const std::size_t gap : runs.gaps)
            std::cout << "[ gap      ] " << gap << " frames, " << 1000.0 * static_cast<double>(gap) / kOutputRate
                      << " ms\n";
        return runs;
    }

    test::GameFolder temporary;
    // A blank in the path, as in many a user's folder.
    const std::filesystem::path folder = temporary.Path() / "a folder";
    const std::filesystem::path output = folder / "output.raw";
    ScopedEnvironment environment;
    std::unique_ptr<SdlMediaControl> service = std::make_unique<SdlMediaControl>();
};

TEST_F(MediaControlSdlTest, StreamedMusicRestartsFromTheBeginningWithNothingStale)
{
    // 0.2 s at the device's own layout, so the mixer passes samples through unchanged.
    constexpr int kFrames = kOutputRate / 5;
    const Runs runs = PlayInLoop(WavFormat {}, Ramp(kFrames));
    ASSERT_GE(runs.sounds.size(), 3u);
    for (std::size_t i = 0; i < runs.sounds.size(); ++i) {
        EXPECT_TRUE(IsRampPrefix(runs.sounds[i]))
            << "copy " << i << " does not start at the beginning, or holds stale samples";
        if (i + 1 < runs.sounds.size()) {
            EXPECT_EQ(runs.sounds[i].size(), static_cast<std::size_t>(kFrames)) << "copy " << i << " is cut short";
        }
    }
}

TEST_F(MediaControlSdlTest, DecodedMusicRestartsFromTheBeginningWithNothingStale)
{
    // Microsoft ADPCM goes through the whole-file decoder; each of its 20 blocks decodes to
    // 1, 2, 2, 2, ..., so each copy must start with 1 and 2 exactly.
    const WavFormat format { WavEncoding::MsAdpcm, 2, kOutputRate, 4, false };
    const Runs runs = PlayInLoop(format, Ramp(20 * 500));
    ASSERT_GE(runs.sounds.size(), 3u);
    for (std::size_t i = 0; i < runs.sounds.size(); ++i) {
        ASSERT_GE(runs.sounds[i].size(), 2u);
        EXPECT_EQ(runs.sounds[i][0].left, 1) << "copy " << i;
        EXPECT_EQ(runs.sounds[i][1].left, 2) << "copy " << i;
        if (i + 1 < runs.sounds.size()) {
            EXPECT_EQ(runs.sounds[i].size(), runs.sounds[0].size()) << "copy " << i;
        }
    }
}

// The device is opened at the music's own rate and layout: a steady sound plays for as many
// frames as it has, whatever its rate, width and channels.
TEST_F(MediaControlSdlTest, MusicPlaysAtItsOwnRate)
{
    constexpr double kSeconds = 0.1;
    for (const WavFormat& format :
        { WavFormat { WavEncoding::Pcm, 1, 22050, 8, false }, WavFormat { WavEncoding::Pcm, 2, 48000, 24, true } }) {
        SCOPED_TRACE(format.sampleRate);
        std::filesystem::remove(output);
        const std::filesystem::path music = folder / "format.wav";
        const auto frames = static_cast<std::size_t>(kSeconds * format.sampleRate * format.channels);
        test::WriteFile(music, test::MakeWav(format, std::vector<std::int16_t>(frames, 4000)));
        ASSERT_EQ(Open(music), MediaResult::Ok);
        ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
        EXPECT_TRUE(PollUntil([&] { return Mode() != "not ready"; }));
        EXPECT_TRUE(WaitForMode("stopped"));
        ASSERT_EQ(Send("close MIDI notify"), MediaResult::Ok);
        ASSERT_TRUE(DeviceClosed());
        const std::vector<Frame> played = ReadOutput();
        const auto first = std::ranges::find_if(played, [](const Frame& frame) { return !frame.Silent(); });
        const auto last
            = std::find_if(played.rbegin(), played.rend(), [](const Frame& frame) { return !frame.Silent(); });
        ASSERT_NE(first, played.end()) << "nothing played";
        const auto span = static_cast<double>(std::distance(first, last.base()));
        EXPECT_GE(span, 0.95 * kSeconds * format.sampleRate);
        EXPECT_LE(span, 1.05 * kSeconds * format.sampleRate);
    }
}

TEST_F(MediaControlSdlTest, CommandsWithoutTheirMusicFail)
{
    EXPECT_EQ(Open(folder / "no such bgm.wav"), MediaResult::FileNotFound);
    EXPECT_EQ(Mode(), std::nullopt);
    EXPECT_EQ(Send("play MIDI notify"), MediaResult::NotOpen);
    EXPECT_EQ(Send("seek MIDI to start"), MediaResult::NotOpen);
    EXPECT_EQ(Send("play MIDI from 0"), MediaResult::NotOpen);
    EXPECT_EQ(Send("close MIDI notify"), MediaResult::NotOpen);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    // Commands for another alias fail too, and an alias in use is not opened again.
    const std::filesystem::path music = WriteMusic(test::MakeWav(WavFormat {}, Ramp(1000)));
    ASSERT_EQ(Open(music), MediaResult::Ok);
    char reply[16] = "untouched";
    EXPECT_EQ(service->SendString("status other mode", reply, 15), MediaResult::NotOpen);
    EXPECT_STREQ(reply, "untouched");
    EXPECT_EQ(Open(music), MediaResult::AliasInUse);
    EXPECT_EQ(Send("CLOSE midi"), MediaResult::Ok) << "aliases ignore letter case";
}

TEST_F(MediaControlSdlTest, UnplayableFilesLeaveTheAliasDeadAndSilent)
{
    // Not a wave at all; a RIFF header with a format nobody decodes (tag 0x1234); headers
    // that crash the sound library when it trusts them: no channels (a division by zero),
    // a "smpl" chunk declaring 100,000 loops and holding one (read past its end).
    const std::vector<std::uint8_t> text = { 'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e' };
    std::vector<std::uint8_t> unknownCodec = test::MakeWav(WavFormat {}, Ramp(1000));
    unknownCodec[20] = 0x34;
    unknownCodec[21] = 0x12;
    std::vector<std::uint8_t> noChannels = test::MakeWav(WavFormat {}, Ramp(1000));
    noChannels[22] = 0;
    std::vector<std::uint8_t> loopBomb = test::MakeWav(WavFormat {}, Ramp(1000));
    std::uint8_t smpl[8 + 36 + 24] = { 's', 'm', 'p', 'l', 36 + 24 };
    smpl[8 + 28] = 0xA0, smpl[8 + 29] = 0x86, smpl[8 + 30] = 0x01; // 100,000
    loopBomb.insert(loopBomb.end(), std::begin(smpl), std::end(smpl));
    for (const auto& bytes : { text, unknownCodec, noChannels, loopBomb }) {
        std::filesystem::remove(output);
        const std::filesystem::path music = folder / "bgm.wav";
        test::WriteFile(music, bytes);
        EXPECT_EQ(Open(music), MediaResult::Ok) << "the file is read on the loader thread";
        EXPECT_TRUE(PlayTakenOrAlreadyDead());
        EXPECT_TRUE(WaitForMode(std::nullopt));
        EXPECT_EQ(Send("play MIDI from 0"), MediaResult::NotOpen);
        EXPECT_EQ(Send("close MIDI notify"), MediaResult::Ok);
        ASSERT_TRUE(DeviceClosed());
        for (const Frame& frame : ReadOutput())
            ASSERT_TRUE(frame.Silent());
    }
}

// A device that cannot open leaves the alias dead, and says nothing on stderr (ALSA reports
// a device it cannot open there unless told otherwise).
TEST_F(MediaControlSdlTest, DeviceThatCannotOpenLeavesTheAliasDeadAndQuiet)
{
    const std::filesystem::path music = WriteMusic(test::MakeWav(WavFormat {}, Ramp(1000)));
    const std::pair<const char*, std::string> kDevices[] = {
        { "disk", (folder / "missing folder" / "output.raw").string() },
        { "no-such-driver", output.string() },
        { "alsa", output.string() },
    };
    environment.Set("AUDIODEV", "miradel_no_such_device");
    for (const auto& [driver, file] : kDevices) {
        SCOPED_TRACE(driver);
        environment.Set("SDL_AUDIODRIVER", driver);
        environment.Set("SDL_DISKAUDIOFILE", file);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(music), MediaResult::Ok);
        EXPECT_TRUE(PlayTakenOrAlreadyDead());
        EXPECT_TRUE(WaitForMode(std::nullopt));
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(Send("close MIDI notify"), MediaResult::Ok);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MediaControlSdlTest, HeaderOnlyWaveStaysStoppedAndSilent)
{
    // Nothing to play: every restart of the watch plays nothing, or fails, and the mode
    // stays stopped.
    const std::filesystem::path music = WriteMusic(test::MakeWav(WavFormat {}, {}));
    ASSERT_EQ(Open(music), MediaResult::Ok);
    Send("play MIDI notify");
    EXPECT_TRUE(PollUntil([&] { return Mode() != "not ready"; }));
    for (int tick = 0; tick < 100; ++tick) {
        EXPECT_EQ(Mode(), "stopped");
        EXPECT_EQ(Send("seek MIDI to start"), MediaResult::Ok);
        Send("play MIDI from 0");
    }
    EXPECT_EQ(Send("close MIDI notify"), MediaResult::Ok);
    ASSERT_TRUE(DeviceClosed());
    for (const Frame& frame : ReadOutput())
        ASSERT_TRUE(frame.Silent());
}

TEST_F(MediaControlSdlTest, OpenDeviceLeavesStopSignalsToTheirDefault)
{
    // A desktop's "end task" or a terminal's Ctrl+C must still end the program while the
    // music plays.
    const std::filesystem::path music = WriteMusic(test::MakeWav(WavFormat {}, Ramp(kOutputRate)));
    ASSERT_EQ(Open(music), MediaResult::Ok);
    ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
    ASSERT_TRUE(WaitForMode("playing"));
    for (const int signal : { SIGTERM, SIGINT }) {
        struct sigaction current { };
        ASSERT_EQ(sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signal;
    }
    EXPECT_EQ(Send("close MIDI notify"), MediaResult::Ok);
}

// A device open that hangs, as on a stalled sound server, until the test lets it go; then
// it fails.
struct HangingOpen {
    static inline std::mutex lock;
    static inline std::condition_variable changed;
    static inline bool entered = false;
    static inline bool released = false;

    static int OpenAudio(int /*rate*/, Uint16 /*format*/, int /*channels*/, int /*frames*/)
    {
        std::unique_lock guard(lock);
        entered = true;
        changed.notify_all();
        changed.wait(guard, [] { return released; });
        return -1;
    }

    static void Release()
    {
        std::lock_guard guard(lock);
        released = true;
        changed.notify_all();
    }
};

TEST_F(MediaControlSdlTest, CloseReturnsAtOnceWhileTheDeviceOpenHangs)
{
    const SdlMixerLibrary* system = LoadSdlMixerLibrary();
    ASSERT_NE(system, nullptr);
    SdlMixerLibrary hanging = *system;
    hanging.OpenAudio = HangingOpen::OpenAudio;
    service = std::make_unique<SdlMediaControl>([&hanging](std::stop_token) { return &hanging; });

    const std::filesystem::path music = WriteMusic(test::MakeWav(WavFormat {}, Ramp(1000)));
    ASSERT_EQ(Open(music), MediaResult::Ok);
    ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
    {
        std::unique_lock guard(HangingOpen::lock);
        HangingOpen::changed.wait(guard, [] { return HangingOpen::entered; });
    }
    // Closing, and then ending the service as the program's exit does, come back while the
    // open still hangs.
    auto closing = std::async(std::launch::async, [&] {
        const MediaResult closed = Send("close MIDI notify");
        service.reset();
        return closed;
    });
    const bool returned = closing.wait_for(20s) == std::future_status::ready;
    {
        std::lock_guard guard(HangingOpen::lock);
        EXPECT_FALSE(HangingOpen::released);
    }
    HangingOpen::Release();
    ASSERT_TRUE(returned) << "close waited for the device open";
    EXPECT_EQ(closing.get(), MediaResult::Ok);

    // The loader left behind cleans up once the open gives up; the next service gets the
    // device after it, and plays.
    service = std::make_unique<SdlMediaControl>();
    ASSERT_EQ(Open(music), MediaResult::Ok);
    ASSERT_EQ(Send("play MIDI notify"), MediaResult::Ok);
    EXPECT_TRUE(WaitForMode("stopped"));
    EXPECT_EQ(Send("close MIDI notify"), MediaResult::Ok);
}

} // namespace
} // namespace miradel
