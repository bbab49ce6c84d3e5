#pragma once

// A Windows bitmap: the pixels, and the format its file header gives (bits per pixel,
// compression, colour masks).

#include <vcl/BitmapHeader.h>
#include <vcl/Graphic.h>

#include <cstddef>
#include <string>

namespace vcl {

class TBitmap : public TGraphic {
  public:
    TBitmap() = default;

    // "Bitmap image is not valid" for a damaged or truncated file.
    void LoadFromFile(const std::string& fileName) override;
    // The same from the bytes of a whole file.
    void LoadFromMemory(const void* data, std::size_t size);
    std::unique_ptr<TGraphic> Clone() const override;

    // The header of the loaded file (all zero while empty).
    const TBitmapHeader& Header() const { return m_header; }
    int BitsPerPixel() const { return m_header.bitsPerPixel; }
    std::uint32_t Compression() const { return m_header.compression; }
    std::uint32_t RedMask() const { return m_header.redMask; }
    std::uint32_t GreenMask() const { return m_header.greenMask; }
    std::uint32_t BlueMask() const { return m_header.blueMask; }

  private:
    TBitmap(const TBitmap& other) = default;

    TBitmapHeader m_header;
};

} // namespace vcl
