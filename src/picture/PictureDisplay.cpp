#include "picture/PictureDisplay.h"

#include "game/SceneNames.h"
#include "platform/ContentFiles.h"
#include "platform/PictureBox.h"
#include "platform/Random.h"

#include <algorithm>

namespace miradel {

static constexpr int kBlinkAtMost = 20;

PictureDisplay::PictureDisplay(PictureBox& pic, PictureBox& buffer, RandomSource& random, const Text& imgDir, const Text& appDir)
    : Pic(pic)
    , E(buffer)
    , m_random(random)
    , m_imgDir(imgDir)
    , m_appDir(appDir)
{
}

void PictureDisplay::LoadIntoBuffer(TextView fileName)
{
    const ContentFile file = LocateContentFile(m_imgDir, fileName, u".jpg", m_appDir);
    E.SetPicture(LoadPicture(file.path, file.shownName, Pic.DeviceSize()));
}

void PictureDisplay::ShowPicture(TextView name)
{
    Pic.Cls();
    if (name == kBlinkFrameSuffix) {
        LoadIntoBuffer(currentPicture + Text(kBlinkFrameSuffix));
    } else if (!name.empty()) {
        currentPicture = name;
        LoadIntoBuffer(name);
    }
    // Both boxes count in pixels: the whole buffer is stretched over the whole area.
    const int picWidth = Pic.ScaleWidth();
    const int picHeight = Pic.ScaleHeight();
    const int bufferWidth = E.ScaleWidth();
    const int bufferHeight = E.ScaleHeight();
    Pic.PaintPicture(E, 0, 0, picWidth, picHeight, 0, 0, bufferWidth, bufferHeight);
    Pic.SetAccessibleName(currentPicture);
    Pic.SetVisible(true);
}

void PictureDisplay::BlinkStep()
{
    const auto& blinking = BlinkingPictures();
    if (std::find(blinking.begin(), blinking.end(), currentPicture) == blinking.end())
        return;
    if (DrawPercent(m_random) > kBlinkAtMost) {
        const Text normalFrame = currentPicture;
        ShowPicture(normalFrame);
    } else {
        ShowPicture(kBlinkFrameSuffix);
    }
}

} // namespace miradel
