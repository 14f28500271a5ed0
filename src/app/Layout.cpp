#include "app/Layout.h"

#include <cmath>

namespace miradel {

float LayoutWidthFor(float screenHeightTwips)
{
    return static_cast<float>(static_cast<double>(screenHeightTwips) / 5 * 4);
}

float LayoutHeightFor(float appliedWidthTwips)
{
    return appliedWidthTwips / 3 * 2;
}

float BaseFontSizeFor(float appliedHeightTwips)
{
    return std::floor(appliedHeightTwips / 100 / 10) + 4;
}

} // namespace miradel
