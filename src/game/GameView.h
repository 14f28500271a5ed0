// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstdint>

namespace miradel {

// What the game does to its window, and all it does: the logic holds no widget. The window
// implements this over its controls; a headless implementation serves the tests, the fuzzer
// and the authoring tools. Nothing here answers the logic, except that loading a picture
// reports a missing or unreadable file as a RuntimeError.
class GameView {
public:
    virtual ~GameView() = default;

    // The message area `Lbl`: its text (a CR LF starts a new line) and whether it shows.
    virtual void SetMessage(TextView text) = 0;
    virtual void ShowMessageArea(bool visible) = 0;
    // The day label `LblDay`.
    virtual void ShowDay(std::uint8_t day) = 0;
    // The next-day button `ComGame` and the choice buttons `Com(0)` to `Com(3)`.
    virtual void ShowNextDay(bool visible) = 0;
    virtual void ShowChoice(int index, bool visible) = 0;
    // The pacing timer `TimSay`.
    virtual void SetPacing(bool on) = 0;

    // The picture area `Pic` and its hidden buffer `E`: clearing the area, loading the
    // picture file `fileName` (a name without folder or extension) into the buffer, and
    // painting the whole buffer over the whole area, which then shows, its picture announced
    // to assistive technology as `pictureName`.
    virtual void ClearPicture() = 0;
    virtual void LoadPicture(TextView fileName) = 0;
    virtual void PaintPicture(TextView pictureName) = 0;
};

} // namespace miradel
