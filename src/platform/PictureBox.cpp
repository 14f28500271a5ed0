// SPDX-License-Identifier: MIT
#include "platform/PictureBox.h"

#include "platform/ContentFiles.h"
#include "platform/JpegHeader.h"
#include "platform/RuntimeError.h"
#include "platform/Window.h"

#include <QFile>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace miradel {

struct PictureData {
    QImage pixels;
    PixelSize sizeInFile;
};

namespace {

// What decoding one picture may take. Every picture a game uses fits, up to 8000 x 8000
// progressive with full-resolution colour (256 MB of pixels, 384 MB of coefficients); a
// few hundred kilobytes that declare 20,000 x 20,000 do not.
constexpr std::uint64_t kDecodeBudgetBytes = 640ull * 1024 * 1024;
// Qt's own limit on one image's pixels, in MiB: 8000 x 8000 at 4 bytes is 244.
constexpr int kQtAllocationLimitMiB = 256;

std::string Megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

[[noreturn]] void Refuse(const std::string& why, const std::string& english, const std::string& shownName)
{
    throw RuntimeError("画像として読み込めません (" + why + ")", shownName)
        .InEnglish("cannot read the picture: " + english);
}

std::string SizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// Refuses, before any decoding, a JPEG that the decoder cannot read or that would take more
// memory than the budget; says why in the decoder's own terms.
void CheckJpegHeader(QFile& file, const std::string& shownName)
{
    const ByteSource source = [&file](std::uint64_t offset, char* out, std::size_t count) -> std::size_t {
        if (!file.seek(static_cast<qint64>(offset)))
            return 0;
        const qint64 read = file.read(out, static_cast<qint64>(count));
        return read < 0 ? 0 : static_cast<std::size_t>(read);
    };
    JpegHeader header;
    std::string problem;
    const JpegHeaderResult result = ReadJpegHeader(source, header, problem);
    file.seek(0);
    if (result == JpegHeaderResult::NotJpeg)
        return;
    if (result == JpegHeaderResult::Broken)
        Refuse("JPEG のヘッダが壊れています: " + problem, "broken JPEG header: " + problem, shownName);
    if (header.lossless)
        Refuse("ロスレス JPEG です", "lossless JPEG, which the decoder does not read", shownName);
    if (header.precision != 8) {
        const std::string bits = std::to_string(header.precision);
        Refuse("精度が " + bits + " ビットの JPEG です。8 ビットのものだけ読めます",
            bits + "-bit samples; only 8-bit JPEG is read", shownName);
    }
    const std::uint64_t needed = JpegDecodeBytes(header);
    if (needed > kDecodeBudgetBytes) {
        const std::string size = SizeText(header.width, header.height);
        Refuse("大きすぎます: " + size + " で、展開に " + Megabytes(needed) + " 要ります (上限 "
                + Megabytes(kDecodeBudgetBytes) + ")",
            "too large: " + size + " needs " + Megabytes(needed) + " to decode (at most "
                + Megabytes(kDecodeBudgetBytes) + ")",
            shownName);
    }
}

} // namespace

Picture LoadPicture(const std::filesystem::path& path, const std::string& shownName, PixelSize decodeFor)
{
    OpenFailure failure = OpenFailure::None;
    const int descriptor = OpenContentFile(path, failure);
    if (descriptor < 0 && failure == OpenFailure::Missing)
        throw RuntimeError("画像ファイルが見つかりません", shownName).InEnglish("picture file not found");
    if (descriptor < 0)
        throw RuntimeError("画像ファイルを読めません", shownName).InEnglish("cannot read the picture file");
    // Opened by descriptor: the path's bytes need not be UTF-8, which Qt's file names assume.
    QFile file;
    file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    CheckJpegHeader(file, shownName);
    QImageReader::setAllocationLimit(kQtAllocationLimitMiB);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize sizeInFile = reader.size();
    if (!sizeInFile.isValid() || sizeInFile.isEmpty())
        Refuse(reader.errorString().toStdString(), reader.errorString().toStdString(), shownName);
    // Other formats the decoder shows (PNG, GIF, BMP saved as .jpg) are held to the same budget.
    const std::uint64_t pixelsBytes
        = static_cast<std::uint64_t>(sizeInFile.width()) * static_cast<std::uint64_t>(sizeInFile.height()) * 4;
    if (pixelsBytes > kDecodeBudgetBytes) {
        const std::string size = SizeText(sizeInFile.width(), sizeInFile.height());
        Refuse("大きすぎます: " + size, "too large: " + size, shownName);
    }
    if (decodeFor.width > 0 && decodeFor.height > 0)
        reader.setScaledSize(QSize(decodeFor.width, decodeFor.height));
    QImage pixels = reader.read();
    if (pixels.isNull())
        Refuse(reader.errorString().toStdString(), reader.errorString().toStdString(), shownName);
    auto data = std::make_shared<PictureData>();
    data->pixels = std::move(pixels);
    data->sizeInFile = { sizeInFile.width(), sizeInFile.height() };
    return data;
}

PixelSize SizeInFile(const Picture& picture)
{
    return picture ? picture->sizeInFile : PixelSize {};
}

PixelSize DecodedSize(const Picture& picture)
{
    return picture ? PixelSize { picture->pixels.width(), picture->pixels.height() } : PixelSize {};
}

// One stretched copy of a picture onto the surface. The surface keeps these instead of a
// bitmap, so that painting costs nothing until the screen shows it.
struct PictureBox::Layer {
    Picture picture;
    QRectF source;
    QRect destination;
    // The surface's size when the copy was made: a surface laid out larger (full screen)
    // or smaller stretches its copies with it.
    QSize surface;
};

class PictureSurface final : public QWidget {
public:
    explicit PictureSurface(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QColor fill = Qt::white;
    const std::vector<std::unique_ptr<PictureBox::Layer>>* layers = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), fill);
        for (const auto& layer : *layers)
            PaintLayer(painter, *layer);
    }

private:
    void PaintLayer(QPainter& painter, const PictureBox::Layer& layer)
    {
        // A picture decoded for the area's device pixels is copied pixel for pixel: at a
        // fractional scale the area's edge may fall inside a device pixel, and stretching
        // over that last half pixel would blur the whole picture.
        const qreal ratio = devicePixelRatioF();
        QRectF target(layer.destination);
        if (layer.surface != size() && !layer.surface.isEmpty()) {
            const qreal scaleX = width() / static_cast<qreal>(layer.surface.width());
            const qreal scaleY = height() / static_cast<qreal>(layer.surface.height());
            target
                = QRectF(target.x() * scaleX, target.y() * scaleY, target.width() * scaleX, target.height() * scaleY);
        }
        const QSizeF source = layer.source.size();
        const QSizeF device = target.size() * ratio;
        const bool pixelForPixel
            = std::abs(device.width() - source.width()) <= 1 && std::abs(device.height() - source.height()) <= 1;
        if (pixelForPixel)
            target.setSize(source / ratio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !pixelForPixel);
        painter.drawImage(target, layer.picture->pixels, layer.source);
    }
};

PictureBox::PictureBox(Window& window)
    : Control(window, new PictureSurface(window.Widget()))
{
    static_cast<PictureSurface*>(m_widget)->layers = &m_layers;
    ApplyColors();
}

PictureBox::~PictureBox() = default;

void PictureBox::ApplyColors()
{
    static_cast<PictureSurface*>(m_widget)->fill
        = QColor(RedOf(BackColor()), GreenOf(BackColor()), BlueOf(BackColor()));
    m_widget->update();
}

void PictureBox::Cls()
{
    m_layers.clear();
    m_widget->update();
}

void PictureBox::SetPicture(Picture picture)
{
    m_picture = std::move(picture);
}

int PictureBox::ScaleWidth() const
{
    return m_picture ? m_picture->sizeInFile.width : m_widget->width();
}

int PictureBox::ScaleHeight() const
{
    return m_picture ? m_picture->sizeInFile.height : m_widget->height();
}

PixelSize PictureBox::DeviceSize() const
{
    const qreal ratio = m_widget->devicePixelRatioF();
    return { static_cast<int>(std::lround(m_widget->width() * ratio)),
        static_cast<int>(std::lround(m_widget->height() * ratio)) };
}

void PictureBox::PaintPicture(const PictureBox& source, int destLeft, int destTop, int destWidth, int destHeight,
    int sourceLeft, int sourceTop, int sourceWidth, int sourceHeight)
{
    const Picture& picture = source.m_picture;
    if (!picture || destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // The pixels may be decoded smaller than the picture in its file.
    const double toPixelsX = picture->pixels.width() / static_cast<double>(picture->sizeInFile.width);
    const double toPixelsY = picture->pixels.height() / static_cast<double>(picture->sizeInFile.height);
    const QRect destination(destLeft, destTop, destWidth, destHeight);
    // A JPEG is opaque: a copy over the whole surface hides everything painted before.
    if (destination.contains(m_widget->rect()))
        m_layers.clear();
    m_layers.push_back(std::make_unique<Layer>(Layer {
        picture,
        QRectF(sourceLeft * toPixelsX, sourceTop * toPixelsY, sourceWidth * toPixelsX, sourceHeight * toPixelsY),
        destination,
        m_widget->size(),
    }));
    m_widget->update();
}

void PictureBox::SetAccessibleName(TextView pictureName)
{
    // A screen reader says what the area is as well as which picture it shows.
    QString shown;
    if (!pictureName.empty())
        shown = QStringLiteral("画像: ") + QString::fromStdU16String(Text(pictureName));
    m_widget->setAccessibleName(shown);
}

} // namespace miradel
