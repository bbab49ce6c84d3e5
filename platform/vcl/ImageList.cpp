#include <vcl/ImageList.h>

#include "Internal.h"

#include <QImage>

#include <vector>

namespace vcl {

struct TImageList::Images {
    std::vector<QImage> list;
    QImage none;
};

TImageList::TImageList(TComponent* owner) : TComponent(owner), m_images(std::make_unique<Images>()) {}

TImageList::~TImageList() = default;

void TImageList::SetSize(int width, int height) {
    m_width = width > 0 ? width : 16;
    m_height = height > 0 ? height : 16;
    Clear();
}

int TImageList::Count() const {
    return static_cast<int>(m_images->list.size());
}

int TImageList::Add(const QImage& image) {
    QImage picture = image.convertToFormat(QImage::Format_ARGB32);
    if (!picture.isNull() && picture.size() != QSize(m_width, m_height))
        picture = picture.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images->list.push_back(picture);
    Fire(OnChange, this);
    return Count() - 1;
}

int TImageList::AddFromFile(const std::string& hostPath) {
    QImage image;
    if (!image.load(QString::fromStdString(hostPath)))
        return -1;
    return Add(image);
}

void TImageList::Delete(int index) {
    m_images->list.erase(m_images->list.begin() + static_cast<std::ptrdiff_t>(detail::checkedIndex(index, Count())));
    Fire(OnChange, this);
}

void TImageList::Clear() {
    m_images->list.clear();
    Fire(OnChange, this);
}

const QImage& TImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        return m_images->none;
    return m_images->list[static_cast<std::size_t>(index)];
}

} // namespace vcl
