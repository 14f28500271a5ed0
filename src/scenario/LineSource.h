// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <string>

namespace miradel {

class TextFiles;

// Where the scene files come from: the numbered text files of the game folder, or scenes
// held in memory for tests and fuzzing. Either way the lines are read through `TextFiles`,
// so line ends and code page 932 mean the same everywhere.
class LineSource {
public:
    virtual ~LineSource() = default;
    // Opens the scene `name` in `files` under `number` and returns what error reports call
    // it (such as "txt/opn.dat"). A missing or unreadable scene is a RuntimeError naming it.
    virtual std::string OpenScene(TextFiles& files, std::int16_t number, TextView name) = 0;
};

} // namespace miradel
