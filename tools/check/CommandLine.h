// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace miradel::check {

struct CommandLine {
    std::string gameFolder = ".";
    bool warningsFail = false;
    std::string graphFile;
    long long playtestGames = 0;
    std::uint64_t seed = 1;
    bool help = false;
    bool version = false;
};

inline constexpr const char* kUsage
    = "usage: miradel-check [--werror] [--graph FILE] [--playtest N [--seed S]] [GAME_FOLDER]\n"
      "  GAME_FOLDER     the folder with txt/, img/ and bgm.wav (default: the current folder)\n"
      "  --werror        warnings make the exit status 1 too\n"
      "  --graph FILE    write the story as a Graphviz graph to FILE (and FILE.svg with Graphviz)\n"
      "  --playtest N    play N seeded random games and report what they never reached\n"
      "  --seed S        the seed of the first game (default 1); game k plays with S + k\n"
      "  --help          show this help and exit\n"
      "  --version       show the version and exit\n";

// False, with `problem` saying why, for a command line that cannot be followed.
bool ParseCommandLine(int argc, char** argv, CommandLine& options, std::string& problem);

} // namespace miradel::check
