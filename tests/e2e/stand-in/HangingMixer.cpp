// SPDX-License-Identifier: MIT
// A stand-in for SDL2_mixer whose device open never returns, as on a stalled sound server, and
// whose other functions do nothing. MIRADEL_HANGING_MIXER_MARK names a file made once the open hangs.
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

extern "C" int Mix_OpenAudio(int, Uint16, int, int)
{
    if (const char* mark = std::getenv("MIRADEL_HANGING_MIXER_MARK")) {
        if (std::FILE* file = std::fopen(mark, "w"))
            std::fclose(file);
    }
    for (;;)
        pause();
}

#define DOES_NOTHING(type, name, result, ...)                                                                          \
    extern "C" type name(__VA_ARGS__)                                                                                  \
    {                                                                                                                  \
        return result;                                                                                                 \
    }

DOES_NOTHING(void, Mix_CloseAudio, )
DOES_NOTHING(int, Mix_AllocateChannels, 0, int)
DOES_NOTHING(void, Mix_HookMusicFinished, , void (*)())
DOES_NOTHING(void, Mix_ChannelFinished, , void (*)(int))
DOES_NOTHING(Mix_Music*, Mix_LoadMUS, nullptr, const char*)
DOES_NOTHING(void, Mix_FreeMusic, , Mix_Music*)
DOES_NOTHING(Mix_Chunk*, Mix_LoadWAV_RW, nullptr, SDL_RWops*, int)
DOES_NOTHING(void, Mix_FreeChunk, , Mix_Chunk*)
DOES_NOTHING(int, Mix_PlayMusic, -1, Mix_Music*, int)
DOES_NOTHING(int, Mix_PlayChannelTimed, -1, int, Mix_Chunk*, int, int)
DOES_NOTHING(int, Mix_HaltMusic, 0)
DOES_NOTHING(int, Mix_HaltChannel, 0, int)
DOES_NOTHING(double, Mix_MusicDuration, 0.0, Mix_Music*)
DOES_NOTHING(void, Mix_SetPostMix, , void (*)(void*, Uint8*, int), void*)
DOES_NOTHING(int, Mix_QuerySpec, 0, int*, Uint16*, int*)
