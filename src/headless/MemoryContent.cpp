// SPDX-License-Identifier: MIT
#include "headless/MemoryContent.h"

#include "platform/RuntimeError.h"
#include "platform/TextFiles.h"

namespace miradel {

std::string MemoryContent::OpenScene(TextFiles& files, std::int16_t number, TextView name)
{
    const std::string shownName = "txt/" + TextToUtf8(name) + ".dat";
    const auto scene = m_scenes.find(name);
    if (scene == m_scenes.end())
        throw RuntimeError("シナリオファイルが見つかりません", shownName).InEnglish("scene file not found");
    files.OpenBytes(number, scene->second, shownName);
    return shownName;
}

void MemoryContent::FindPicture(TextView fileName) const
{
    if (!m_pictures.contains(fileName))
        throw RuntimeError("画像ファイルが見つかりません", "img/" + TextToUtf8(fileName) + ".jpg")
            .InEnglish("picture file not found");
}

} // namespace miradel
