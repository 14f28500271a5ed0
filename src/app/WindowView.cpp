// SPDX-License-Identifier: MIT
#include "app/WindowView.h"

#include "platform/ContentFiles.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"

namespace miradel {

WindowView::WindowView(WindowControls controls, const Text& imgDir, const Text& appDir)
    : m_controls(controls)
    , m_imgDir(imgDir)
    , m_appDir(appDir)
{
}

void WindowView::SetPacing(bool on)
{
    m_controls.TimSay.SetEnabled(on);
}

void WindowView::ClearPicture()
{
    m_controls.Pic.Cls();
}

void WindowView::LoadPicture(TextView fileName)
{
    const ContentFile file = LocateContentFile(m_imgDir, fileName, u".jpg", m_appDir);
    const PixelSize decodeFor = m_controls.Pic.DeviceSize();
    m_controls.E.SetPicture(miradel::LoadPicture(file.path, file.shownName, decodeFor));
    m_loadedFile = fileName;
    m_loadedFor = decodeFor;
}

void WindowView::PaintPicture(TextView pictureName)
{
    PictureBox& Pic = m_controls.Pic;
    const PictureBox& E = m_controls.E;
    // Both boxes count in pixels: the whole buffer is stretched over the whole area.
    const int picWidth = Pic.ScaleWidth();
    const int picHeight = Pic.ScaleHeight();
    const int bufferWidth = E.ScaleWidth();
    const int bufferHeight = E.ScaleHeight();
    Pic.PaintPicture(E, 0, 0, picWidth, picHeight, 0, 0, bufferWidth, bufferHeight);
    Pic.SetAccessibleName(pictureName);
    Pic.SetVisible(true);
    m_paintedName = pictureName;
}

void WindowView::FitPictureToArea()
{
    const PixelSize area = m_controls.Pic.DeviceSize();
    if (m_loadedFile.empty() || (area.width == m_loadedFor.width && area.height == m_loadedFor.height))
        return;
    try {
        LoadPicture(m_loadedFile);
    } catch (const RuntimeError&) {
        // The file went away since it was shown: the picture already decoded still paints,
        // only less sharp. Resizing is no reason to end the game.
        m_loadedFor = area;
    }
    ClearPicture();
    PaintPicture(Text(m_paintedName));
}

} // namespace miradel
