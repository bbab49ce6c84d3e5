#include <vcl/BitmapHeader.h>

#include <vcl/GraphicErrors.h>

#include <limits>

namespace vcl {

namespace {

[[noreturn]] void invalid() {
    throw EInvalidGraphic("Bitmap image is not valid");
}

// Little-endian reads within the head; a field beyond it means a truncated file.
class HeadReader {
  public:
    HeadReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint16_t u16(std::size_t at) const {
        need(at + 2);
        return static_cast<std::uint16_t>(m_data[at] | m_data[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at + 4);
        return static_cast<std::uint32_t>(m_data[at]) | static_cast<std::uint32_t>(m_data[at + 1]) << 8 |
               static_cast<std::uint32_t>(m_data[at + 2]) << 16 |
               static_cast<std::uint32_t>(m_data[at + 3]) << 24;
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    void need(std::size_t end) const {
        if (end > m_size)
            invalid();
    }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

constexpr std::size_t FileHeaderSize = 14;

bool knownDepth(std::uint16_t bpp, bool core) {
    switch (bpp) {
    case 1:
    case 4:
    case 8:
    case 24:
        return true;
    case 16:
    case 32:
        return !core;
    default:
        return false;
    }
}

} // namespace

TBitmapHeader ReadBitmapHeader(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize) {
    if (headSize > fileSize)
        headSize = static_cast<std::size_t>(fileSize);
    const HeadReader r(head, headSize);
    if (r.u16(0) != 0x4D42) // "BM"
        invalid();
    TBitmapHeader h;
    const std::uint32_t offBits = r.u32(10);
    h.headerSize = r.u32(14);
    const bool core = h.headerSize == 12;
    if (!core && h.headerSize != 40 && h.headerSize != 64 && h.headerSize != 108 && h.headerSize != 124)
        invalid();
    r.need(FileHeaderSize + h.headerSize);

    std::uint32_t colorsUsed = 0;
    if (core) {
        h.width = r.u16(18);
        h.height = r.u16(20);
        if (r.u16(22) != 1)
            invalid();
        h.bitsPerPixel = r.u16(24);
        h.paletteEntrySize = 3;
    } else {
        h.width = r.i32(18);
        const std::int32_t height = r.i32(22);
        if (height == std::numeric_limits<std::int32_t>::min())
            invalid();
        h.topDown = height < 0;
        h.height = h.topDown ? -height : height;
        if (r.u16(26) != 1)
            invalid();
        h.bitsPerPixel = r.u16(28);
        h.compression = r.u32(30);
        colorsUsed = r.u32(46);
    }
    if (h.width <= 0 || h.height <= 0 || !knownDepth(h.bitsPerPixel, core))
        invalid();
    if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > MaxBitmapPixels)
        invalid();

    // Compression must suit the depth; run-length bitmaps are stored bottom-up only. An OS/2 2.x
    // header numbers its own kinds from 3 on (Huffman, RLE24), which no Windows bitmap uses.
    switch (h.compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (h.bitsPerPixel != 8 || h.topDown)
            invalid();
        break;
    case BI_RLE4:
        if (h.bitsPerPixel != 4 || h.topDown)
            invalid();
        break;
    case BI_BITFIELDS:
        if ((h.bitsPerPixel != 16 && h.bitsPerPixel != 32) || h.headerSize == 64)
            invalid();
        break;
    default:
        invalid();
    }

    h.paletteOffset = static_cast<std::uint32_t>(FileHeaderSize + h.headerSize);
    if (h.compression == BI_BITFIELDS) {
        // An info header is followed by the three masks; V4 and V5 hold them, with alpha.
        const std::size_t at = FileHeaderSize + 40;
        h.redMask = r.u32(at);
        h.greenMask = r.u32(at + 4);
        h.blueMask = r.u32(at + 8);
        if (h.headerSize >= 108)
            h.alphaMask = r.u32(at + 12);
        else
            h.paletteOffset += 12;
    }

    std::uint64_t paletteBytes = 0;
    if (h.bitsPerPixel <= 8) {
        const std::uint32_t full = 1u << h.bitsPerPixel;
        if (colorsUsed > 256)
            invalid();
        h.paletteEntries = colorsUsed == 0 ? full : colorsUsed;
        paletteBytes = std::uint64_t{h.paletteEntries} * h.paletteEntrySize;
    }
    if (std::uint64_t{h.paletteOffset} + paletteBytes > offBits || offBits >= fileSize)
        invalid();
    h.pixelOffset = offBits;

    h.rowBytes = (static_cast<std::uint64_t>(h.width) * h.bitsPerPixel + 31) / 32 * 4;
    if (h.compression != BI_RLE4 && h.compression != BI_RLE8 &&
        h.pixelOffset + h.rowBytes * static_cast<std::uint64_t>(h.height) > fileSize)
        invalid();
    return h;
}

} // namespace vcl
