#include <vcl/Image.h>

#include "Internal.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace vcl {

// The stretched drawing, made once per picture and size: a large picture is scaled down
// smoothly once rather than sampled on every paint.
struct TImage::ScaledCache {
    qint64 key = 0;
    QSize size;
    QImage image;
};

TImage::TImage(TComponent* owner)
    : TControl(owner, detail::makePaintedWidget()), m_scaled(std::make_unique<ScaledCache>()) {
    SetBounds(Left(), Top(), 105, 105);
    SetClickEvents(true);
    m_picture.OnChange = [this](TObject*) {
        *m_scaled = ScaledCache();
        Invalidate();
    };
}

TImage::~TImage() {
    m_picture.OnChange = nullptr;
}

void TImage::SetStretch(bool value) {
    m_stretch = value;
    Invalidate();
}

void TImage::SetProportional(bool value) {
    m_proportional = value;
    Invalidate();
}

void TImage::SetCenter(bool value) {
    m_center = value;
    Invalidate();
}

TRect TImage::DestRect() const {
    const TGraphic* graphic = m_picture.Graphic();
    if (!graphic || graphic->Empty())
        return {};
    int w = graphic->Width(), h = graphic->Height();
    if (m_proportional && (m_stretch || w > Width() || h > Height())) {
        // The larger of the two ratios decides, so that the whole picture fits.
        if (static_cast<qint64>(w) * Height() > static_cast<qint64>(h) * Width()) {
            h = std::max(1, static_cast<int>(static_cast<qint64>(h) * Width() / w));
            w = Width();
        } else {
            w = std::max(1, static_cast<int>(static_cast<qint64>(w) * Height() / h));
            h = Height();
        }
    } else if (m_stretch) {
        w = Width();
        h = Height();
    }
    const int left = m_center ? (Width() - w) / 2 : 0, top = m_center ? (Height() - h) / 2 : 0;
    return TRect{left, top, left + w, top + h};
}

void TImage::Paint(QPainter& p) const {
    const TGraphic* graphic = m_picture.Graphic();
    if (!graphic || graphic->Empty())
        return;
    const QImage& image = graphic->Image();
    const TRect dest = DestRect();
    const QSize size(dest.Width(), dest.Height());
    if (size.isEmpty())
        return;
    if (size == image.size()) {
        p.drawImage(QPoint(dest.Left, dest.Top), image);
        return;
    }
    if (m_scaled->key != image.cacheKey() || m_scaled->size != size) {
        m_scaled->image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled->key = image.cacheKey();
        m_scaled->size = size;
    }
    p.drawImage(QPoint(dest.Left, dest.Top), m_scaled->image);
}

} // namespace vcl
