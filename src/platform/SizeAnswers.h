#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace miradel {

// What the window system's report of a new window size means, given the sizes we set and
// whose answers have not come yet.
class SizeAnswers {
public:
    enum class Answer {
        Outside, // nothing of ours was pending: a change from outside, to be undone
        Ours, // the size we set, taken
        Refused, // another size than the one we set: the window system will not take ours
    };

    void Asked(int width, int height);
    Answer Note(int width, int height);

private:
    // A window system that never answers must not make the list grow.
    static constexpr std::size_t kPendingKept = 8;
    std::vector<std::pair<int, int>> m_pending;
};

} // namespace miradel
