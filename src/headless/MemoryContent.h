// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"
#include "scenario/LineSource.h"

#include <map>
#include <set>
#include <string>

namespace miradel {

// A game's content held in memory, for tests and fuzzing: each scene is the bytes of its
// file (code page 932, as on disk), each picture only its name. Names match exactly. A
// scene must not change while it is open.
class MemoryContent final : public LineSource {
public:
    void SetScene(TextView name, std::string bytes) { m_scenes[Text(name)] = std::move(bytes); }
    void RemoveScene(TextView name) { m_scenes.erase(Text(name)); }
    void AddPicture(TextView fileName) { m_pictures.insert(Text(fileName)); }

    std::string OpenScene(TextFiles& files, std::int16_t number, TextView name) override;
    // Throws the RuntimeError of a missing picture file unless `fileName` was added.
    void FindPicture(TextView fileName) const;

private:
    std::map<Text, std::string, std::less<>> m_scenes;
    std::set<Text, std::less<>> m_pictures;
};

} // namespace miradel
