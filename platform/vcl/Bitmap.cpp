#include <vcl/Bitmap.h>

#include "PictureFile.h"
#include <vcl/GraphicErrors.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <bit>
#include <cstring>

namespace vcl {

namespace {

[[noreturn]] void invalid() {
    throw EInvalidGraphic("Bitmap image is not valid");
}

// One colour field of a bit-field pixel, scaled to 8 bits as ImageMagick does: the field is
// moved to the top of 16 bits, five- and six-bit fields widened by repeating their bits, then
// cut to 8. Qt's reader leaves the low bits of 5-bit fields empty (white as 248) and
// drops fields wider than 8 bits, so these bitmaps are decoded here.
class Field {
  public:
    Field(std::uint32_t mask, bool wide) : m_mask(mask), m_wide(wide) {
        if (mask == 0)
            return;
        m_shift = std::countl_zero(mask);
        m_bits = std::countl_one(mask << m_shift);
    }
    bool present() const { return m_mask != 0; }
    int value(std::uint32_t pixel) const {
        if (m_mask == 0)
            return 0;
        std::uint32_t v = ((pixel & m_mask) << m_shift) >> 16;
        if (m_wide) {
            if (m_bits == 8)
                v |= v >> 8;
        } else {
            if (m_bits == 5)
                v |= (v & 0xe0e0) >> 5;
            if (m_bits == 6)
                v |= (v & 0xc0c0) >> 6;
            if (m_bits <= 8)
                v |= (v & 0xff00) >> 8;
        }
        return static_cast<int>(v / 257);
    }

  private:
    std::uint32_t m_mask;
    bool m_wide;
    int m_shift = 0;
    int m_bits = 0;
};

bool byteMask(std::uint32_t m) {
    return m == 0xff || m == 0xff00 || m == 0xff0000 || m == 0xff000000u;
}

// Qt decodes every other variant as ImageMagick does; 16-bit pixels and bit fields that are
// not whole bytes it gets wrong.
bool decodedHere(const TBitmapHeader& h) {
    if (h.bitsPerPixel == 16)
        return true;
    return h.bitsPerPixel == 32 && h.compression == BI_BITFIELDS &&
           !(byteMask(h.redMask) && byteMask(h.greenMask) && byteMask(h.blueMask) &&
             (h.alphaMask == 0 || byteMask(h.alphaMask)));
}

QImage decodeBitFields(QIODevice& device, const TBitmapHeader& h) {
    std::uint32_t red = h.redMask, green = h.greenMask, blue = h.blueMask;
    if (h.compression == BI_RGB) // 16 bits without masks: five bits each, the top bit unused
        red = 0x7c00, green = 0x03e0, blue = 0x001f;
    const bool wide = h.bitsPerPixel == 32;
    const Field r(red, wide), g(green, wide), b(blue, wide), a(h.alphaMask, wide);
    QImage image(h.width, h.height, a.present() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        invalid();
    if (!device.seek(h.pixelOffset))
        invalid();
    QByteArray row(static_cast<qsizetype>(h.rowBytes), Qt::Uninitialized);
    const int bytes = h.bitsPerPixel / 8;
    for (int stored = 0; stored < h.height; ++stored) {
        if (device.read(row.data(), row.size()) != row.size())
            invalid();
        const int y = h.topDown ? stored : h.height - 1 - stored;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* p = reinterpret_cast<const std::uint8_t*>(row.constData());
        for (int x = 0; x < h.width; ++x, p += bytes) {
            std::uint32_t pixel = p[0] | p[1] << 8;
            if (wide)
                pixel |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
            out[x] =
                qRgba(r.value(pixel), g.value(pixel), b.value(pixel), a.present() ? a.value(pixel) : 255);
        }
    }
    return image;
}

QImage decode(QIODevice& device, qint64 size, TBitmapHeader& header) {
    const QByteArray head = device.read(static_cast<qint64>(BitmapHeadSize));
    header = ReadBitmapHeader(reinterpret_cast<const std::uint8_t*>(head.constData()),
                              static_cast<std::size_t>(head.size()), static_cast<std::uint64_t>(size));
    if (decodedHere(header))
        return decodeBitFields(device, header);
    if (!device.seek(0))
        invalid();
    QImageReader reader(&device, "bmp");
    QImage image = reader.read();
    if (image.isNull() || image.width() != header.width || image.height() != header.height)
        invalid();
    return image;
}

} // namespace

void TBitmap::LoadFromFile(const std::string& fileName) {
    auto file = detail::openPictureFile(fileName);
    TBitmapHeader header;
    QImage image = decode(*file, file->size(), header);
    SetImage(image);
    m_header = header;
}

void TBitmap::LoadFromMemory(const void* data, std::size_t size) {
    QByteArray bytes = QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TBitmapHeader header;
    QImage image = decode(buffer, static_cast<qint64>(size), header);
    // The buffer's bytes belong to the caller: keep pixels of our own.
    image.detach();
    SetImage(image);
    m_header = header;
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    return std::unique_ptr<TGraphic>(new TBitmap(*this));
}

} // namespace vcl
