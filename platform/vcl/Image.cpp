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

void TImage::Paint(QPainter& p) const {
    const TGraphic* graphic = m_picture.Graphic();
    if (!graphic || graphic->Empty())
        return;
    const QImage& image = graphic->Image();
    if (!m_stretch) {
        p.drawImage(QPoint(0, 0), image,
                    QRect(0, 0, std::min(image.width(), Width()), std::min(image.height(), Height())));
        return;
    }
    const QSize size(Width(), Height());
    if (size.isEmpty())
        return;
    if (m_scaled->key != image.cacheKey() || m_scaled->size != size) {
        m_scaled->image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled->key = image.cacheKey();
        m_scaled->size = size;
    }
    p.drawImage(QPoint(0, 0), m_scaled->image);
}

} // namespace vcl
