// SPDX-License-Identifier: MIT
#pragma once

#include "Findings.h"
#include "platform/Text.h"

#include <string>
#include <vector>

namespace miradel::check {

// Whether a page of the message area shows whole: `lines` are its text lines below the
// empty first line, the last one followed by the "▼" marker when `marked`.
class PageMeasure {
public:
    virtual ~PageMeasure() = default;
    virtual bool Fits(const std::vector<TextView>& lines, bool marked) const = 0;
};

// How a scene's last reached line ends it.
enum class SceneEnding {
    NextOffer, // "tugi" or the end of the file: the next-day button or the choices
    GameEnd, // ">end": a new game
    Loop, // ">loop": day 0 and the next-day button
};

struct PictureUse {
    long long line;
    Text name;
};

struct SceneWalk {
    SceneEnding ending = SceneEnding::NextOffer;
    // The line that ends the scene; 0 when it ends at the end of its file.
    long long endLine = 0;
    // Lines after this one are never taken.
    long long lastReachedLine = 0;
    // The ">end" that a scene's first step meets, before it shows anything; 0 if none.
    long long gameEndInFirstStep = 0;
    std::vector<PictureUse> pictures;
};

// Follows a scene with the player's own code, as a click at a time steps through it: lines
// in file order, "--" runs with their one shared counter, the look-ahead that stops a page,
// the end of the scene.
// Every path through a scene takes the same lines, so one walk finds what every game
// meets: a "--" count that is not a number (an error), a count that reaches past the end,
// lines after the end, and (when `measure` is given) pages that do not fit.
SceneWalk WalkScene(
    const std::vector<Text>& lines, const std::string& shownName, const PageMeasure* measure, Findings& findings);

} // namespace miradel::check
