#include <vcl/JPEGImage.h>

#include "Internal.h"
#include "PictureFile.h"
#include <vcl/GraphicErrors.h>

#include <QImage>
#include <QImageReader>

namespace vcl {

void TJPEGImage::LoadFromFile(const std::string& fileName) {
    auto file = detail::openPictureFile(fileName);
    // The reader decodes straight into the picture's own pixels, with no second copy.
    QImageReader reader(file.get(), "jpeg");
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic("JPEG error: " + detail::fromQt(reader.errorString()));
    SetImage(image);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
    return std::unique_ptr<TGraphic>(new TJPEGImage(*this));
}

} // namespace vcl
