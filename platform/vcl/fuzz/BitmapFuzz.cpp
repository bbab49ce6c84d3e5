// Bitmap files of any shape: the header reader either refuses them with "Bitmap image is not
// valid" or gives a header whose rows lie inside the file, and decoding never reads outside it.

#include <vcl/Bitmap.h>
#include <vcl/BitmapHeader.h>
#include <vcl/GraphicErrors.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vcl::TBitmapHeader header;
    try {
        header = vcl::ReadBitmapHeader(data, size, size);
    } catch (const vcl::EInvalidGraphic&) {
        return 0;
    }
    const bool compressed = header.compression == vcl::BI_RLE4 || header.compression == vcl::BI_RLE8;
    if (header.width <= 0 || header.height <= 0 || header.pixelOffset >= size ||
        (!compressed &&
         header.pixelOffset + header.rowBytes * static_cast<std::uint64_t>(header.height) > size))
        std::abort();
    vcl::TBitmap bitmap;
    try {
        bitmap.LoadFromMemory(data, size);
    } catch (const vcl::EInvalidGraphic&) {
        return 0;
    }
    if (bitmap.Width() != header.width || bitmap.Height() != header.height)
        std::abort();
    return 0;
}
