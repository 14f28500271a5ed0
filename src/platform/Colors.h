// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace miradel {

// Colours packed as blue x 65536 + green x 256 + red.
using PackedColor = std::uint32_t;

constexpr PackedColor kWhite = 0xFFFFFF;
constexpr PackedColor kRed = 0x0000FF;

constexpr int RedOf(PackedColor color)
{
    return static_cast<int>(color & 0xFF);
}
constexpr int GreenOf(PackedColor color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int BlueOf(PackedColor color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}

} // namespace miradel
