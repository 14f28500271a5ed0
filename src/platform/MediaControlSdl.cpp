#include "platform/MediaControlSdl.h"

#include "platform/MediaCommand.h"
#include "platform/MediaWaveRate.h"
#include "platform/SdlMixerLibrary.h"
#include "platform/WaveHeader.h"

#include <algorithm>
#include <array>
#include <atomic>
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

#if defined(__linux__)
void IgnoreAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/,
    const char* /*format*/, ...)
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
void QuietAlsa() {}
#endif

// SDL's audio subsystem and the mixer on it, open for the lifetime of this object.
class AudioDevice {
public:
    AudioDevice() = default;
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
    ~AudioDevice() { Close(); }

    // A restart waits for the rest of the device buffer that the music ended in, so the
    // buffer is kept short (512 frames at 44.1 kHz) but no shorter than slow devices need.
    bool Open(const SdlMixerLibrary& sdl, int rate)
    {
        m_sdl = &sdl;
        QuietAlsa();
        // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit events that
        // nobody reads, and the program could no longer be stopped by them.
        sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        m_subsystem = sdl.InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!m_subsystem)
            return false;
        m_mixer = sdl.OpenAudio(rate, MIX_DEFAULT_FORMAT, 2, BufferFramesFor(rate)) == 0;
        if (!m_mixer)
            return false;
        sdl.AllocateChannels(1);
        sdl.HookMusicFinished(OnMusicFinished);
        sdl.ChannelFinished(OnChannelFinished);
        return true;
    }

    void Close()
    {
        if (m_mixer) {
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
// stands. Commands come from one thread; the loader thread only touches `state` and a
// pending play, under `lock`, once it is done.
struct SdlMediaControl::Session {
    enum class State { Opening, Ready, Failed };

    Session(std::string_view aliasName, std::string path)
        : alias(aliasName)
        , loader([this, resolved = std::move(path)](std::stop_token stop) {
            // Closing asks the loader to stop waiting for the first frame.
            sdl = LoadSdlMixerLibrary(stop);
            Load(resolved);
            // SDL keeps its error text per thread and frees it only for threads it made.
            if (sdl)
                sdl->TLSCleanup();
        })
    {
    }

    void Load(const std::string& path)
    {
        // The sound library trusts the header it reads: one that would crash it is silence.
        const bool loaded = sdl && WaveFileProblem(path).empty() && device.Open(*sdl, DeviceRateFor(*sdl, path))
            && LoadSound(path);
        if (!loaded) {
            music.reset();
            chunk.reset();
            device.Close();
        }
        std::lock_guard guard(lock);
        state.store(loaded ? State::Ready : State::Failed, std::memory_order_release);
        if (loaded && pendingPlay)
            StartPlaying();
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

    std::string alias;
    std::atomic<State> state { State::Opening };
    std::mutex lock;
    bool pendingPlay = false;
    bool atStart = true;
    // Set by the loader thread before `state` leaves Opening.
    const SdlMixerLibrary* sdl = nullptr;
    AudioDevice device;
    MusicPointer music { nullptr, nullptr };
    ChunkPointer chunk { nullptr, nullptr };
    // Last, so that it is joined before anything it uses goes away.
    std::jthread loader;
};

SdlMediaControl::SdlMediaControl() = default;

SdlMediaControl::~SdlMediaControl() = default;

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
        m_session = std::make_unique<Session>(parsed.alias, std::move(path));
        return MediaResult::Ok;
    }
    if (!m_session || !EqualsIgnoringCase(parsed.alias, m_session->alias))
        return MediaResult::NotOpen;
    switch (parsed.verb) {
    case MediaVerb::Open:
        break;
    case MediaVerb::Close:
        m_session.reset();
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

MediaControl& SystemMediaControl()
{
    static SdlMediaControl service;
    return service;
}

} // namespace miradel
