// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <charconv>
#include <string_view>

namespace miradel::check {

template <typename Number> static bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseCommandLine(int argc, char** argv, CommandLine& options, std::string& problem)
{
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--werror") {
            options.warningsFail = true;
        } else if (argument == "--graph" && hasValue) {
            options.graphFile = argv[++i];
        } else if (argument == "--playtest" && hasValue) {
            if (!ParseNumber(argv[++i], options.playtestGames) || options.playtestGames < 1) {
                problem = "--playtest needs a number of games above 0";
                return false;
            }
        } else if (argument == "--seed" && hasValue) {
            if (!ParseNumber(argv[++i], options.seed)) {
                problem = "--seed needs a whole number";
                return false;
            }
        } else if (argument.starts_with("-") || folderGiven) {
            problem = (folderGiven && !argument.starts_with("-") ? "more than one game folder: " : "unknown option ")
                + std::string(argument);
            return false;
        } else {
            options.gameFolder = argument;
            folderGiven = true;
        }
    }
    return true;
}

} // namespace miradel::check
