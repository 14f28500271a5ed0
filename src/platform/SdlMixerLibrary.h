// SPDX-License-Identifier: MIT
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <stop_token>

namespace miradel {

// The parts of SDL2 and SDL2_mixer that the media service uses, loaded when the first file
// is opened rather than when the program starts: SDL_mixer pulls some forty decoder and
// sound-server libraries in with it, whose loading would otherwise delay the first window.
struct SdlMixerLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_TLSCleanup) TLSCleanup;
    decltype(&SDL_RWFromFile) RWFromFile;
    decltype(&SDL_RWread) RWread;
    decltype(&SDL_RWclose) RWclose;
    decltype(&Mix_OpenAudio) OpenAudio;
    decltype(&Mix_CloseAudio) CloseAudio;
    decltype(&Mix_AllocateChannels) AllocateChannels;
    decltype(&Mix_HookMusicFinished) HookMusicFinished;
    decltype(&Mix_ChannelFinished) ChannelFinished;
    decltype(&Mix_LoadMUS) LoadMUS;
    decltype(&Mix_FreeMusic) FreeMusic;
    decltype(&Mix_LoadWAV_RW) LoadWAV_RW;
    decltype(&Mix_FreeChunk) FreeChunk;
    decltype(&Mix_PlayMusic) PlayMusic;
    decltype(&Mix_PlayChannelTimed) PlayChannelTimed;
    decltype(&Mix_HaltMusic) HaltMusic;
    decltype(&Mix_HaltChannel) HaltChannel;
    decltype(&Mix_MusicDuration) MusicDuration;
    decltype(&Mix_SetPostMix) SetPostMix;
    decltype(&Mix_QuerySpec) QuerySpec;
};

// Loads the libraries on the first call, from any thread, once the window's first frame is
// out (or `stop` asks not to wait for it); later calls return the same table. Null when a
// library or one of its functions is missing: the game then has no music, as without a
// music file, and one line on stderr says why.
const SdlMixerLibrary* LoadSdlMixerLibrary(std::stop_token stop = {});

} // namespace miradel
