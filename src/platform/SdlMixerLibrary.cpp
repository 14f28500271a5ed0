// SPDX-License-Identifier: MIT
#include "platform/SdlMixerLibrary.h"

#include "platform/FirstFrame.h"

#include <QLibrary>
#include <QString>
#include <cstdio>
#include <initializer_list>
#include <mutex>

namespace miradel {

namespace {

// The run-time names of the libraries, as their packages install them.
#if defined(_WIN32)
constexpr std::initializer_list<const char*> kSdlNames = { "SDL2.dll" };
constexpr std::initializer_list<const char*> kMixerNames = { "SDL2_mixer.dll" };
#elif defined(__APPLE__)
constexpr std::initializer_list<const char*> kSdlNames = { "libSDL2-2.0.0.dylib", "libSDL2.dylib" };
constexpr std::initializer_list<const char*> kMixerNames = { "libSDL2_mixer-2.0.0.dylib", "libSDL2_mixer.dylib" };
#else
constexpr std::initializer_list<const char*> kSdlNames = { "libSDL2-2.0.so.0" };
constexpr std::initializer_list<const char*> kMixerNames = { "libSDL2_mixer-2.0.so.0" };
#endif

// Kept loaded for the rest of the run: the audio thread calls back into the mixer until
// the very end.
bool Open(QLibrary& library, std::initializer_list<const char*> names, QString& error)
{
    for (const char* name : names) {
        library.setFileName(QString::fromUtf8(name));
        if (library.load())
            return true;
        error = library.errorString();
    }
    return false;
}

template <typename Function> bool Resolve(QLibrary& library, const char* name, Function& function, QString& error)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (function == nullptr)
        error = library.errorString();
    return function != nullptr;
}

bool ResolveAll(QLibrary& sdl, QLibrary& mixer, SdlMixerLibrary& api, QString& error)
{
    return Resolve(sdl, "SDL_SetHint", api.SetHint, error)
        && Resolve(sdl, "SDL_InitSubSystem", api.InitSubSystem, error)
        && Resolve(sdl, "SDL_QuitSubSystem", api.QuitSubSystem, error)
        && Resolve(sdl, "SDL_TLSCleanup", api.TLSCleanup, error)
        && Resolve(sdl, "SDL_RWFromFile", api.RWFromFile, error) && Resolve(sdl, "SDL_RWread", api.RWread, error)
        && Resolve(sdl, "SDL_RWclose", api.RWclose, error) && Resolve(mixer, "Mix_OpenAudio", api.OpenAudio, error)
        && Resolve(mixer, "Mix_CloseAudio", api.CloseAudio, error)
        && Resolve(mixer, "Mix_AllocateChannels", api.AllocateChannels, error)
        && Resolve(mixer, "Mix_HookMusicFinished", api.HookMusicFinished, error)
        && Resolve(mixer, "Mix_ChannelFinished", api.ChannelFinished, error)
        && Resolve(mixer, "Mix_LoadMUS", api.LoadMUS, error) && Resolve(mixer, "Mix_FreeMusic", api.FreeMusic, error)
        && Resolve(mixer, "Mix_LoadWAV_RW", api.LoadWAV_RW, error)
        && Resolve(mixer, "Mix_FreeChunk", api.FreeChunk, error)
        && Resolve(mixer, "Mix_PlayMusic", api.PlayMusic, error)
        && Resolve(mixer, "Mix_PlayChannelTimed", api.PlayChannelTimed, error)
        && Resolve(mixer, "Mix_HaltMusic", api.HaltMusic, error)
        && Resolve(mixer, "Mix_HaltChannel", api.HaltChannel, error)
        && Resolve(mixer, "Mix_MusicDuration", api.MusicDuration, error)
        && Resolve(mixer, "Mix_SetPostMix", api.SetPostMix, error)
        && Resolve(mixer, "Mix_QuerySpec", api.QuerySpec, error);
}

const SdlMixerLibrary* Load()
{
    static QLibrary sdl;
    static QLibrary mixer;
    static SdlMixerLibrary api {};
    QString error;
    if (Open(sdl, kSdlNames, error) && Open(mixer, kMixerNames, error) && ResolveAll(sdl, mixer, api, error))
        return &api;
    std::fprintf(stderr, "miradel: the game plays without music: %s\n", error.toLocal8Bit().constData());
    return nullptr;
}

} // namespace

const SdlMixerLibrary* LoadSdlMixerLibrary(std::stop_token stop)
{
    static std::once_flag once;
    static const SdlMixerLibrary* loaded = nullptr;
    std::call_once(once, [&stop] {
        // A second is long enough for any window to appear and short enough not to be
        // missed if it never does.
        WaitForFirstFrame(std::chrono::seconds(1), stop);
        loaded = Load();
    });
    return loaded;
}

} // namespace miradel
