// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace miradel {

// What the command line `miradel [GAME_FOLDER]` asks for.
struct StartOptions {
    enum class Action { Play, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Play;
    bool folderNamed = false;
    std::string gameFolder; // as given, when named
    std::string problem; // why the command line is refused
};

StartOptions ParseStartOptions(int argc, const char* const* argv);

inline constexpr const char* kStartUsage
    = "usage: miradel [GAME_FOLDER]\n"
      "Plays the story game in GAME_FOLDER (the folder with txt/, img/ and bgm.wav).\n"
      "Without GAME_FOLDER it plays the game beside the program, or the bundled game.\n"
      "  --help      show this help and exit\n"
      "  --version   show the version and exit\n";

} // namespace miradel
