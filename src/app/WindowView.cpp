// SPDX-License-Identifier: MIT
#include "app/WindowView.h"

#include "platform/ContentFiles.h"
#include "platform/PictureBox.h"
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
    m_controls.E.SetPicture(miradel::LoadPicture(file.path, file.shownName, m_controls.Pic.DeviceSize()));
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
}

} // namespace miradel
