#pragma once

#include "platform/Text.h"

namespace miradel {

class PictureBox;
class RandomSource;

// Shows one named picture at a time, stretched over the whole picture area, and makes the
// day and choice pictures blink while the text is being revealed. Every picture is loaded
// into the hidden buffer first and painted from there; nothing is cached, so each call
// with a name reads its file anew.
class PictureDisplay {
public:
    // `imgDir` and `appDir` are the window's folders, set at start-up.
    PictureDisplay(PictureBox& pic, PictureBox& buffer, RandomSource& random, const Text& imgDir, const Text& appDir);

    // "_" shows the blink frame of the current picture; the empty name repaints the buffer.
    void ShowPicture(TextView name);
    // The last step of every tick of the pacing timer.
    void BlinkStep();

    const Text& CurrentPicture() const { return currentPicture; }

private:
    void LoadIntoBuffer(TextView fileName);

    PictureBox& Pic;
    PictureBox& E;
    RandomSource& m_random;
    const Text& m_imgDir;
    const Text& m_appDir;
    Text currentPicture;
};

} // namespace miradel
