// SPDX-License-Identifier: MIT
// miradel_compose_music OUTPUT: writes the bundled game's background music, bgm.wav.

#include "Melody.h"
#include "WaveFile.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: miradel_compose_music OUTPUT\n";
        return 2;
    }
    if (!miradel::content::WriteMonoWave(argv[1], miradel::content::RenderLullaby(), miradel::content::kSampleRate)) {
        std::cerr << argv[1] << ": error: cannot write the music\n";
        return 1;
    }
    return 0;
}
