// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Controls.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace miradel {

struct PixelSize {
    int width = 0;
    int height = 0;
};

struct PictureData;
// A decoded picture. It remembers the size of the picture in its file; its pixels may have
// been decoded at a smaller size, the size it is going to be painted at.
using Picture = std::shared_ptr<const PictureData>;

// Reads a JPEG file (any picture format Qt reads, decided by content). `decodeFor` is the
// size in device pixels the whole picture will be stretched to; decoding at that size lets
// the JPEG decoder skip the detail that would be thrown away. Errors name `shownName`.
Picture LoadPicture(const std::filesystem::path& path, const std::string& shownName, PixelSize decodeFor);
PixelSize SizeInFile(const Picture& picture);
// The size its pixels were decoded at.
PixelSize DecodedSize(const Picture& picture);

// A picture box: a surface that is cleared to its back colour and painted with stretched
// pictures, and that can hold one picture as a buffer (taking that picture's size).
// Coordinates are pixels.
class PictureBox final : public Control {
public:
    explicit PictureBox(Window& window);
    ~PictureBox() override;

    void Cls();
    void SetPicture(Picture picture);
    const Picture& HeldPicture() const { return m_picture; }

    // Inner width and height in pixels; for a buffer, those of the picture it holds.
    int ScaleWidth() const;
    int ScaleHeight() const;
    // The inner size in device pixels, the size a stretched picture should be decoded at.
    PixelSize DeviceSize() const;

    void PaintPicture(const PictureBox& source, int destLeft, int destTop, int destWidth, int destHeight,
        int sourceLeft, int sourceTop, int sourceWidth, int sourceHeight);

    // Tells assistive technology which picture is on show ("画像: ttl"); empty for none.
    void SetAccessibleName(TextView pictureName);

    struct Layer;

private:
    void ApplyColors() override;

    Picture m_picture;
    std::vector<std::unique_ptr<Layer>> m_layers;
};

} // namespace miradel
