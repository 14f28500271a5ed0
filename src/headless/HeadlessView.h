// SPDX-License-Identifier: MIT
#pragma once

#include "game/GameView.h"

#include <array>
#include <functional>
#include <optional>

namespace miradel {

// The window without a window: what each control would show, as plain values that tests,
// the fuzzer and the authoring tools read. Pictures are not decoded: `findPicture` only says
// whether a picture file is there, throwing the RuntimeError that loading a missing one
// would; without it every picture is there.
class HeadlessView final : public GameView {
public:
    using PictureFinder = std::function<void(TextView fileName)>;
    explicit HeadlessView(PictureFinder findPicture = {});

    void SetMessage(TextView text) override { message = text; }
    void ShowMessageArea(bool visible) override { messageVisible = visible; }
    void ShowDay(std::uint8_t shownDay) override { day = shownDay; }
    void ShowNextDay(bool visible) override { nextDayVisible = visible; }
    void ShowChoice(int index, bool visible) override { choiceVisible.at(static_cast<std::size_t>(index)) = visible; }
    void SetPacing(bool on) override { pacing = on; }
    void ClearPicture() override { pictureCleared = true; }
    void LoadPicture(TextView fileName) override;
    void PaintPicture(TextView pictureName) override;

    bool AnyChoiceVisible() const;

    Text message;
    bool messageVisible = false;
    // The day label's number (it shows its decimal digits); empty before the first game.
    std::optional<std::uint8_t> day;
    bool nextDayVisible = false;
    std::array<bool, 4> choiceVisible {};
    bool pacing = false;
    // The file last loaded into the buffer, and what the picture area shows.
    Text bufferPicture;
    Text shownPicture;
    bool pictureVisible = false;
    bool pictureCleared = false;
    long long picturesLoaded = 0;

private:
    PictureFinder m_findPicture;
};

} // namespace miradel
