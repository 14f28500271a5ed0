// SPDX-License-Identifier: MIT
#include "headless/HeadlessView.h"

#include <algorithm>

namespace miradel {

HeadlessView::HeadlessView(PictureFinder findPicture)
    : m_findPicture(std::move(findPicture))
{
}

void HeadlessView::LoadPicture(TextView fileName)
{
    if (m_findPicture)
        m_findPicture(fileName);
    bufferPicture = fileName;
    ++picturesLoaded;
}

void HeadlessView::PaintPicture(TextView pictureName)
{
    shownPicture = pictureName;
    pictureVisible = true;
    pictureCleared = false;
}

bool HeadlessView::AnyChoiceVisible() const
{
    return std::find(choiceVisible.begin(), choiceVisible.end(), true) != choiceVisible.end();
}

} // namespace miradel
