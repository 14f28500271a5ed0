// SPDX-License-Identifier: MIT
#pragma once

#include "game/GameView.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"

namespace miradel {

class Timer;

struct WindowControls {
    Label& Lbl;
    Label& LblDay;
    PictureBox& Pic;
    PictureBox& E;
    ButtonArray<4>& Com;
    Button& ComGame;
    Timer& TimSay;
};

// The game shown in the window's controls. Pictures are found in `imgDir`, the window's
// folder set at start-up, and decoded at the size they are going to be painted at.
class WindowView final : public GameView {
public:
    WindowView(WindowControls controls, const Text& imgDir, const Text& appDir);

    void SetMessage(TextView text) override { m_controls.Lbl.SetCaption(text); }
    void ShowMessageArea(bool visible) override { m_controls.Lbl.SetVisible(visible); }
    void ShowDay(std::uint8_t day) override { m_controls.LblDay.SetCaption(DecimalText(day)); }
    void ShowNextDay(bool visible) override { m_controls.ComGame.SetVisible(visible); }
    void ShowChoice(int index, bool visible) override { m_controls.Com(index).SetVisible(visible); }
    void SetPacing(bool on) override;
    void ClearPicture() override;
    void LoadPicture(TextView fileName) override;
    void PaintPicture(TextView pictureName) override;

    // After the picture area changed size (full screen and back), decodes the picture last
    // loaded again for the new size and paints it as it was, so that it stays sharp.
    void FitPictureToArea();

private:
    WindowControls m_controls;
    const Text& m_imgDir;
    const Text& m_appDir;
    Text m_loadedFile;
    PixelSize m_loadedFor;
    Text m_paintedName;
};

} // namespace miradel
