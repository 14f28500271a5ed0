// SPDX-License-Identifier: MIT
#include "app/SceneFolder.h"

#include "platform/ContentFiles.h"
#include "platform/TextFiles.h"

namespace miradel {

SceneFolder::SceneFolder(const Text& txtDir, const Text& appDir)
    : m_txtDir(txtDir)
    , m_appDir(appDir)
{
}

std::string SceneFolder::OpenScene(TextFiles& files, std::int16_t number, TextView name)
{
    const ContentFile file = LocateContentFile(m_txtDir, name, u".dat", m_appDir);
    files.Open(number, file.path, file.shownName);
    return file.shownName;
}

} // namespace miradel
