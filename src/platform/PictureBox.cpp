#include "platform/PictureBox.h"

#include "platform/RuntimeError.h"
#include "platform/Window.h"

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

Picture LoadPicture(const std::filesystem::path& path, const std::string& shownName, PixelSize decodeFor)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw RuntimeError("画像ファイルが見つかりません", shownName);
    QImageReader reader(QString::fromStdU16String(path.u16string()));
    reader.setDecideFormatFromContent(true);
    const QSize sizeInFile = reader.size();
    if (!sizeInFile.isValid() || sizeInFile.isEmpty())
        throw RuntimeError("画像として読み込めません (" + reader.errorString().toStdString() + ")", shownName);
    if (decodeFor.width > 0 && decodeFor.height > 0)
        reader.setScaledSize(QSize(decodeFor.width, decodeFor.height));
    QImage pixels = reader.read();
    if (pixels.isNull())
        throw RuntimeError("画像として読み込めません (" + reader.errorString().toStdString() + ")", shownName);
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
            target = QRectF(target.x() * scaleX, target.y() * scaleY, target.width() * scaleX, target.height() * scaleY);
        }
        const QSizeF source = layer.source.size();
        const QSizeF device = target.size() * ratio;
        const bool pixelForPixel = std::abs(device.width() - source.width()) <= 1 && std::abs(device.height() - source.height()) <= 1;
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
    static_cast<PictureSurface*>(m_widget)->fill = QColor(RedOf(BackColor()), GreenOf(BackColor()), BlueOf(BackColor()));
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
    return { static_cast<int>(std::lround(m_widget->width() * ratio)), static_cast<int>(std::lround(m_widget->height() * ratio)) };
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
