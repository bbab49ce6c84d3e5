#pragma once

// The head of a Windows bitmap file (file header and bitmap header of any version: OS/2 core,
// OS/2 2.x, info, V4, V5), read and checked before anything is allocated for the pixels.

#include <cstddef>
#include <cstdint>

namespace vcl {

inline constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;

struct TBitmapHeader {
    std::uint32_t headerSize = 0; // 12 (OS/2 core), 40 (info), 64 (OS/2 2.x), 108 (V4), 124 (V5)
    std::int32_t width = 0;
    std::int32_t height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = BI_RGB;
    // The colour masks of a BI_BITFIELDS bitmap as the file gives them; 0 for other bitmaps.
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
    std::uint32_t paletteOffset = 0;    // file offset of the colour table
    std::uint32_t paletteEntries = 0;   // entries the pixels index (bitmaps of up to 8 bits a pixel)
    std::uint32_t paletteEntrySize = 4; // 3 in an OS/2 core bitmap
    std::uint32_t pixelOffset = 0;
    // Bytes of one stored row of an uncompressed bitmap (rows are padded to 4 bytes).
    std::uint64_t rowBytes = 0;
};

// Bytes of the file's start that ReadBitmapHeader needs at most (file header, V5 header and
// the three masks that may follow an info header).
inline constexpr std::size_t BitmapHeadSize = 14 + 124 + 12;
// The most pixels a bitmap may have (at four bytes a pixel, 1 GB).
inline constexpr std::uint64_t MaxBitmapPixels = std::uint64_t{1} << 28;

// Reads the header from the first `headSize` bytes of a file of `fileSize` bytes. A damaged
// or truncated file, an offset outside it or absurd dimensions raise EInvalidGraphic
// "Bitmap image is not valid".
TBitmapHeader ReadBitmapHeader(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize);

} // namespace vcl
