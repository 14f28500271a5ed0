// SPDX-License-Identifier: MIT
#include "app/StartOptions.h"

#include <string_view>

namespace miradel {

StartOptions ParseStartOptions(int argc, const char* const* argv)
{
    StartOptions options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            options.action = StartOptions::Action::ShowHelp;
            return options;
        }
        if (!optionsEnded && argument == "--version") {
            options.action = StartOptions::Action::ShowVersion;
            return options;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with('-') && argument != "-") {
            options.action = StartOptions::Action::Refuse;
            options.problem = "unknown option " + std::string(argument);
            return options;
        } else if (options.folderNamed) {
            options.action = StartOptions::Action::Refuse;
            options.problem = "more than one game folder: " + options.gameFolder + " and " + std::string(argument);
            return options;
        } else {
            options.folderNamed = true;
            options.gameFolder = argument;
        }
    }
    return options;
}

} // namespace miradel
