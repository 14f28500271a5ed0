// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace miradel {

// What the window system's report of a new window size means, given the sizes we set and
// whose answers have not come yet, and the size from outside that we last set back.
class SizeAnswers {
public:
    enum class Answer {
        Outside, // a change from outside, to be set back
        Ours, // the size we set, taken
        Refused, // the size we set back from, forced again: the window system will not take ours
    };

    void Asked(int width, int height);
    void SettingBack(int width, int height) { m_settingBackFrom = std::pair { width, height }; }
    Answer Note(int width, int height);

private:
    // A window system that never answers must not make the list grow.
    static constexpr std::size_t kPendingKept = 8;
    std::vector<std::pair<int, int>> m_pending;
    std::optional<std::pair<int, int>> m_settingBackFrom;
};

} // namespace miradel
