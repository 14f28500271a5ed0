// SPDX-License-Identifier: MIT
// A stand-in for SDL2_mixer whose device open never returns, as on a stalled sound server:
// the program must still end at once when its window is closed. Every other function the
// program looks up does nothing. MIRADEL_HANGING_MIXER_MARK names a file that is created
// once the open hangs.
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

extern "C" {

int Mix_OpenAudio(int, Uint16, int, int)
{
    if (const char* mark = std::getenv("MIRADEL_HANGING_MIXER_MARK")) {
        if (std::FILE* file = std::fopen(mark, "w"))
            std::fclose(file);
    }
    for (;;)
        pause();
}

void Mix_CloseAudio()
{
}
int Mix_AllocateChannels(int)
{
    return 0;
}
void Mix_HookMusicFinished(void (*)())
{
}
void Mix_ChannelFinished(void (*)(int))
{
}
Mix_Music* Mix_LoadMUS(const char*)
{
    return nullptr;
}
void Mix_FreeMusic(Mix_Music*)
{
}
Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops*, int)
{
    return nullptr;
}
void Mix_FreeChunk(Mix_Chunk*)
{
}
int Mix_PlayMusic(Mix_Music*, int)
{
    return -1;
}
int Mix_PlayChannelTimed(int, Mix_Chunk*, int, int)
{
    return -1;
}
int Mix_HaltMusic()
{
    return 0;
}
int Mix_HaltChannel(int)
{
    return 0;
}
double Mix_MusicDuration(Mix_Music*)
{
    return 0.0;
}
void Mix_SetPostMix(void (*)(void*, Uint8*, int), void*)
{
}
int Mix_QuerySpec(int*, Uint16*, int*)
{
    return 0;
}
}
