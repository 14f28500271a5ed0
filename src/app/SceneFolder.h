// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"
#include "scenario/LineSource.h"

namespace miradel {

// The scene files of a game folder: `txtDir` & name & ".dat", found the one way every
// content file is found. The folders are the window's, set at start-up.
class SceneFolder final : public LineSource {
public:
    SceneFolder(const Text& txtDir, const Text& appDir);

    std::string OpenScene(TextFiles& files, std::int16_t number, TextView name) override;

private:
    const Text& m_txtDir;
    const Text& m_appDir;
};

} // namespace miradel
