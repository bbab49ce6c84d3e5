#include <vcl/Icon.h>

#include "PictureFile.h"
#include <vcl/GraphicErrors.h>

#include <QImage>
#include <QImageReader>

namespace vcl {

void TIcon::LoadFromFile(const std::string& fileName) {
    auto file = detail::openPictureFile(fileName);
    QImageReader reader(file.get(), "ico");
    QImage best;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (!image.isNull() &&
            (best.isNull() || image.width() * image.height() > best.width() * best.height()))
            best = image;
    }
    if (best.isNull())
        throw EInvalidGraphic("Icon image is not valid");
    SetImage(best);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
    return std::unique_ptr<TGraphic>(new TIcon(*this));
}

} // namespace vcl
