// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <optional>

namespace miradel {

// What a scene line is, decided by its first characters, compared exactly and with letter
// case; the first rule that matches wins. The player and the authoring tools share this.
enum class LineKind {
    SceneEnd, // "tugi": the scene ends with the next-day button or the choices
    Run, // "--" and a count: that many following lines are taken at once
    GameEnd, // ">end": a new game starts
    NewPage, // ">p": the message area is cleared
    Picture, // ">img" and a name after one separator character
    Loop, // ">loop": the day goes back to 0
    TextLine, // anything else, the empty line and ">ive" lines included
};

namespace literal {
inline constexpr TextView kSceneEnd = u"tugi";
inline constexpr TextView kRun = u"--";
inline constexpr TextView kGameEnd = u">end";
inline constexpr TextView kNewPage = u">p";
inline constexpr TextView kPicture = u">img";
inline constexpr TextView kLoop = u">loop";
inline constexpr TextView kNewPageText = u">ive";
} // namespace literal

LineKind ClassifyLine(TextView line);

// Whether the page stops after a text line whose following line is `next`.
bool StopsPageBefore(TextView next);

// Whether a tick of the pacing timer waits for a click instead of stepping to `next`.
bool TickWaitsBefore(TextView next);

// The picture name of a ">img" line: from its 6th character to its end.
TextView PictureNameOf(TextView line);

// What counts as a blank in a scene line (around the count of a "--" line, for one): space,
// tab and the ideographic space.
bool IsBlank(char16_t c);

// The count of a "--" line: its rest from the 3rd character, a whole decimal number
// (blanks around it and a sign allowed). Empty when the rest is not such a number or does
// not fit in 32 bits.
std::optional<std::int32_t> RunCountOf(TextView line);

} // namespace miradel
