// SPDX-License-Identifier: MIT
#include "platform/MediaControlSdl.h"

#include "platform/MediaCommand.h"
#include "platform/MediaWaveRate.h"
#include "platform/SdlMixerLibrary.h"
#include "platform/WaveHeader.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace miradel {

namespace {

constexpr int kMusicChannel = 0;

// Set by the playing commands, cleared by SDL_mixer's finish callbacks on the audio thread.
std::atomic<bool> musicPlaying { false };

void OnMusicFinished()
{
    musicPlaying.store(false, std::memory_order_release);
}

void OnChannelFinished(int /*channel*/)
{
    musicPlaying.store(false, std::memory_order_release);
}

using Clock = MediaControl::Clock;

// The buffers that the audio thread has mixed since the device opened, and when it mixed
// the last one.
struct MixCount {
    std::mutex lock;
    std::uint64_t count = 0;
    Clock::time_point last {};
};

MixCount& Mixed()
{
    static MixCount mixed;
    return mixed;
}

void OnMixed(void* /*data*/, Uint8* /*stream*/, int /*length*/)
{
    MixCount& mixed = Mixed();
    std::lock_guard guard(mixed.lock);
    ++mixed.count;
    mixed.last = Clock::now();
}

// Held by a loader thread from loading SDL to closing the device: the mixer's callbacks
// and the flag above belong to one session at a time.
std::mutex& DeviceOwner()
{
    static std::mutex owner;
    return owner;
}

// The loader threads still running, closed sessions' included.
struct LiveLoaders {
    std::mutex lock;
    std::condition_variable ended;
    int count = 0;
};

LiveLoaders& Loaders()
{
    static LiveLoaders loaders;
    return loaders;
}

#if defined(__linux__)
void IgnoreAlsaError(
    const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/, const char* /*format*/, ...)
{
}

// Without a sound server SDL falls to ALSA, which reports every failed probe on stderr. The
// player says nothing about sound, so ALSA's reporter is replaced before SDL loads the
// library; it stays loaded so that the replacement outlives SDL's own unloading.
void QuietAlsa()
{
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (library == nullptr)
            return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (void* symbol = dlsym(library, "snd_lib_error_set_handler"))
            reinterpret_cast<SetHandler>(symbol)(IgnoreAlsaError);
    });
}
#else
void QuietAlsa()
{
}
#endif

// SDL's audio subsystem and the mixer on it, open for the lifetime of this object.
class AudioDevice {
public:
    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
    ~AudioDevice() { Close(); }

    // `frames` is the buffer's length: the rest of the buffer that the music ends in is
    // silence before a restart.
    bool Open(const SdlMixerLibrary& sdl, int rate, int frames)
    {
        m_sdl = &sdl;
        QuietAlsa();
        // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit events that
        // nobody reads, and the program could no longer be stopped by them.
        sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        m_subsystem = sdl.InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!m_subsystem)
            return false;
        m_mixer = sdl.OpenAudio(rate, MIX_DEFAULT_FORMAT, 2, frames) == 0;
        if (!m_mixer)
            return false;
        m_frames = frames;
        Uint16 format = 0;
        int channels = 0;
        if (sdl.QuerySpec(&m_rate, &format, &channels) == 0 || m_rate <= 0)
            m_rate = rate;
        m_frameBytes = std::max(1, static_cast<int>(SDL_AUDIO_BITSIZE(format)) / 8 * channels);
        sdl.AllocateChannels(1);
        sdl.HookMusicFinished(OnMusicFinished);
        sdl.ChannelFinished(OnChannelFinished);
        sdl.SetPostMix(OnMixed, nullptr);
        return true;
    }

    int Rate() const { return m_rate; }
    int Frames() const { return m_frames; }
    int FrameBytes() const { return m_frameBytes; }

    void Close()
    {
        if (m_mixer) {
            m_sdl->SetPostMix(nullptr, nullptr);
            m_sdl->HookMusicFinished(nullptr);
            m_sdl->ChannelFinished(nullptr);
            m_sdl->CloseAudio();
        }
        if (m_subsystem)
            m_sdl->QuitSubSystem(SDL_INIT_AUDIO);
        m_mixer = false;
        m_subsystem = false;
        musicPlaying.store(false);
    }

private:
    const SdlMixerLibrary* m_sdl = nullptr;
    bool m_subsystem = false;
    bool m_mixer = false;
    int m_rate = 0;
    int m_frames = 0;
    int m_frameBytes = 4;
};

using MusicPointer = std::unique_ptr<Mix_Music, decltype(SdlMixerLibrary::FreeMusic)>;
using ChunkPointer = std::unique_ptr<Mix_Chunk, decltype(SdlMixerLibrary::FreeChunk)>;
using FilePointer = std::unique_ptr<SDL_RWops, decltype(SdlMixerLibrary::RWclose)>;

// Checked on the calling thread without SDL, whose error text would stay behind in it.
bool Readable(const std::string& path)
{
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && std::ifstream(file, std::ios::binary).good();
}

// The path as given, or with the Windows separator turned into this system's one.
std::string ResolvePath(std::string_view path)
{
    std::string resolved(path);
    if (Readable(resolved))
        return resolved;
#if !defined(_WIN32)
    std::ranges::replace(resolved, '\\', '/');
    if (Readable(resolved))
        return resolved;
#endif
    return {};
}

// The file's own rate, so that the mixer need not resample it; CD rate for anything else.
int DeviceRateFor(const SdlMixerLibrary& sdl, const std::string& path)
{
    std::array<std::uint8_t, 4096> head {};
    std::size_t count = 0;
    if (const FilePointer file(sdl.RWFromFile(path.c_str(), "rb"), sdl.RWclose); file)
        count = sdl.RWread(file.get(), head.data(), 1, head.size());
    return WaveSampleRate(std::span(head.data(), count)).value_or(MIX_DEFAULT_FREQUENCY);
}

void WriteReply(std::string_view word, char* reply, std::size_t replyLength)
{
    if (reply == nullptr || replyLength == 0)
        return;
    const std::size_t count = std::min(word.size(), replyLength - 1);
    std::copy_n(word.data(), count, reply);
    reply[count] = '\0';
}

} // namespace

// One file open under an alias: its device, its decoded or streaming sound and where it
// stands. Commands come from one thread. The loader thread loads the file, keeps the device
// until the session is closed and then closes it; it touches `state`, a pending play and
// `closed` under `lock`. It holds the session alive, so that a close may leave it behind.
struct SdlMediaControl::Session : std::enable_shared_from_this<Session> {
    enum class State { Opening, Ready, Failed };

    Session(std::string_view aliasName, LibraryLoader libraryLoader)
        : alias(aliasName)
        , loadLibrary(std::move(libraryLoader))
    {
    }

    void Start(std::string path)
    {
        {
            std::lock_guard guard(Loaders().lock);
            ++Loaders().count;
        }
        loader = std::thread([self = shared_from_this(), resolved = std::move(path)]() mutable {
            self->Run(resolved);
            self.reset();
            std::lock_guard guard(Loaders().lock);
            --Loaders().count;
            Loaders().ended.notify_all();
        });
    }

    void Run(const std::string& path)
    {
        const std::lock_guard owner(DeviceOwner());
        // Closing asks the loader to stop waiting for the first frame.
        sdl = loadLibrary(stopSource.get_token());
        if (!stopSource.stop_requested())
            Load(path);
        else
            state.store(State::Failed, std::memory_order_release);
        std::unique_lock guard(lock);
        closeRequested.wait(guard, [this] { return closed; });
        guard.unlock();
        Unload();
        // SDL keeps its error text per thread and frees it only for threads it made.
        if (sdl)
            sdl->TLSCleanup();
    }

    // Returns at once: the loader thread closes the device, or first finishes whatever it
    // is doing (a device open or a decoding that takes long), and then ends by itself.
    void Close()
    {
        {
            std::lock_guard guard(lock);
            closed = true;
        }
        closeRequested.notify_all();
        stopSource.request_stop();
        loader.detach();
    }

    void Load(const std::string& path)
    {
        // The sound library trusts the header it reads: one that would crash it is silence.
        const bool playable = sdl && WaveFileProblem(path).empty();
        const int rate = playable ? DeviceRateFor(*sdl, path) : 0;
        const bool loaded = playable && device.Open(*sdl, rate, BufferFramesFor(rate)) && LoadSound(path)
            && FitBufferToSound(path, rate);
        if (!loaded)
            Unload();
        std::lock_guard guard(lock);
        // Playing before the state says ready: a status query in between would find the
        // music stopped, and the watch would restart it.
        if (loaded && pendingPlay && !closed)
            StartPlaying();
        state.store(loaded ? State::Ready : State::Failed, std::memory_order_release);
    }

    void Unload()
    {
        music.reset();
        chunk.reset();
        device.Close();
    }

    // Streams the file; SDL_mixer's streaming decoder refuses IMA and Microsoft ADPCM waves,
    // which the whole-file loader decodes.
    bool LoadSound(const std::string& path)
    {
        music = MusicPointer(sdl->LoadMUS(path.c_str()), sdl->FreeMusic);
        if (music)
            return true;
        // The file is closed here: SDL_mixer 2.6 leaks it when it cannot read the format.
        const FilePointer file(sdl->RWFromFile(path.c_str(), "rb"), sdl->RWclose);
        if (file)
            chunk = ChunkPointer(sdl->LoadWAV_RW(file.get(), 0), sdl->FreeChunk);
        return chunk != nullptr;
    }

    // The sound's length is known once it is loaded, and the device was opened before: it
    // is opened again with a buffer fitted to the length when that differs. A decoded
    // sound is already in the device's format and is kept; a stream is opened again.
    bool FitBufferToSound(const std::string& path, int rate)
    {
        const std::int64_t frames = chunk
            ? static_cast<std::int64_t>(chunk->alen) / device.FrameBytes()
            : std::llround(std::max(0.0, sdl->MusicDuration(music.get())) * device.Rate());
        const int fitted = LoopBufferFramesFor(frames, device.Rate());
        if (fitted != device.Frames()) {
            music.reset();
            device.Close();
            if (!device.Open(*sdl, rate, fitted) || (!chunk && !LoadSound(path)))
                return false;
        }
        buffersPerPlay = (frames + device.Frames() - 1) / device.Frames();
        bufferPeriod = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(device.Frames()) / device.Rate()));
        return true;
    }

    MediaResult Play(bool fromStart)
    {
        std::lock_guard guard(lock);
        if (fromStart)
            atStart = true;
        switch (state.load(std::memory_order_acquire)) {
        case State::Opening:
            pendingPlay = true;
            return MediaResult::Ok;
        case State::Failed:
            return MediaResult::NotOpen;
        case State::Ready:
            break;
        }
        if (musicPlaying.load(std::memory_order_acquire) && !fromStart)
            return MediaResult::Ok;
        // Played to its end and not sought back: there is nothing left to play.
        if (!atStart)
            return MediaResult::Ok;
        return StartPlaying() ? MediaResult::Ok : MediaResult::CannotPlay;
    }

    // Whatever still plays is halted first, so that its finish callback has run before the
    // flag goes up and only the new sound's end can lower it again. Halting also drops what
    // the mixer had buffered, so nothing from before a restart sounds after it.
    bool StartPlaying()
    {
        Halt();
        {
            // The sound starts at the beginning of the next buffer mixed, or of the one
            // after it when a mix is under way: the earlier one keeps the end's forecast
            // from coming late.
            MixCount& mixed = Mixed();
            std::lock_guard guard(mixed.lock);
            firstMix = mixed.count + 1;
        }
        musicPlaying.store(true, std::memory_order_release);
        const bool started = music ? sdl->PlayMusic(music.get(), 1) == 0
                                   : sdl->PlayChannelTimed(kMusicChannel, chunk.get(), 0, -1) == kMusicChannel;
        if (!started)
            musicPlaying.store(false, std::memory_order_release);
        atStart = false;
        return started;
    }

    void Halt()
    {
        if (music)
            sdl->HaltMusic();
        else
            sdl->HaltChannel(kMusicChannel);
    }

    MediaResult Seek()
    {
        std::lock_guard guard(lock);
        const State current = state.load(std::memory_order_acquire);
        if (current == State::Failed)
            return MediaResult::NotOpen;
        if (current == State::Ready)
            Halt();
        atStart = true;
        return MediaResult::Ok;
    }

    MediaResult Status(char* reply, std::size_t replyLength) const
    {
        switch (state.load(std::memory_order_acquire)) {
        case State::Opening:
            WriteReply("not ready", reply, replyLength);
            return MediaResult::Ok;
        case State::Failed:
            return MediaResult::NotOpen;
        case State::Ready:
            break;
        }
        WriteReply(musicPlaying.load(std::memory_order_acquire) ? "playing" : "stopped", reply, replyLength);
        return MediaResult::Ok;
    }

    // The buffer that holds the sound's end is due one period after the one before it;
    // the forecast is taken early by a quarter of a period, and by an eighth of each
    // further period, for the audio thread's own pace and its jitter. Past it the mode may
    // change at any moment.
    Clock::time_point NextModeChange()
    {
        switch (state.load(std::memory_order_acquire)) {
        case State::Opening:
            return Clock::time_point::min();
        case State::Failed:
            return Clock::time_point::max();
        case State::Ready:
            break;
        }
        std::lock_guard guard(lock);
        if (!musicPlaying.load(std::memory_order_acquire))
            return Clock::time_point::max();
        const std::uint64_t endMix = firstMix + static_cast<std::uint64_t>(buffersPerPlay) - 1;
        MixCount& mixed = Mixed();
        std::lock_guard mixGuard(mixed.lock);
        if (buffersPerPlay == 0 || mixed.count >= endMix)
            return Clock::time_point::min();
        const auto remaining = static_cast<Clock::rep>(endMix - mixed.count);
        return mixed.last + remaining * bufferPeriod - bufferPeriod / 4 - (remaining - 1) * bufferPeriod / 8;
    }

    std::string alias;
    LibraryLoader loadLibrary;
    std::atomic<State> state { State::Opening };
    std::mutex lock;
    std::condition_variable closeRequested;
    std::stop_source stopSource;
    bool pendingPlay = false;
    bool atStart = true;
    bool closed = false;
    std::uint64_t firstMix = 0;
    std::int64_t buffersPerPlay = 0;
    Clock::duration bufferPeriod {};
    // Set by the loader thread before `state` leaves Opening.
    const SdlMixerLibrary* sdl = nullptr;
    AudioDevice device;
    MusicPointer music { nullptr, nullptr };
    ChunkPointer chunk { nullptr, nullptr };
    std::thread loader;
};

SdlMediaControl::SdlMediaControl()
    : SdlMediaControl([](std::stop_token stop) { return LoadSdlMixerLibrary(std::move(stop)); })
{
}

SdlMediaControl::SdlMediaControl(LibraryLoader loadLibrary)
    : m_loadLibrary(std::move(loadLibrary))
{
}

SdlMediaControl::~SdlMediaControl()
{
    CloseSession();
}

void SdlMediaControl::CloseSession()
{
    if (m_session)
        m_session->Close();
    m_session.reset();
}

MediaResult SdlMediaControl::SendString(const char* command, char* reply, std::size_t replyLength)
{
    MediaCommand parsed;
    if (const MediaResult result = ParseMediaCommand(command != nullptr ? command : "", parsed);
        result != MediaResult::Ok)
        return result;
    if (parsed.verb == MediaVerb::Open) {
        if (m_session)
            return MediaResult::AliasInUse;
        std::string path = ResolvePath(parsed.path);
        if (path.empty())
            return MediaResult::FileNotFound;
        m_session = std::make_shared<Session>(parsed.alias, m_loadLibrary);
        m_session->Start(std::move(path));
        return MediaResult::Ok;
    }
    if (!m_session || !EqualsIgnoringCase(parsed.alias, m_session->alias))
        return MediaResult::NotOpen;
    switch (parsed.verb) {
    case MediaVerb::Open:
        break;
    case MediaVerb::Close:
        CloseSession();
        return MediaResult::Ok;
    case MediaVerb::Play:
        return m_session->Play(parsed.fromStart);
    case MediaVerb::Seek:
        return m_session->Seek();
    case MediaVerb::Status:
        return m_session->Status(reply, replyLength);
    }
    return MediaResult::UnrecognizedCommand;
}

MediaControl::Clock::time_point SdlMediaControl::NextModeChange(std::string_view alias) const
{
    if (!m_session || !EqualsIgnoringCase(alias, m_session->alias))
        return Clock::time_point::max();
    return m_session->NextModeChange();
}

bool SdlMediaControl::WaitForLoaders(std::chrono::milliseconds limit)
{
    std::unique_lock guard(Loaders().lock);
    return Loaders().ended.wait_for(guard, limit, [] { return Loaders().count == 0; });
}

MediaControl& SystemMediaControl()
{
    static SdlMediaControl service;
    return service;
}

} // namespace miradel
