#pragma once

// What the browsing window derives from a selected file without a window: the picture key,
// the colour-depth text of a bitmap, the caption, and the start folder.

#include <vcl/Picture.h>

#include <cstdint>
#include <string>

namespace vl_pic32 {

// The extension of the path's file name (from its last dot, dot included; "" without one),
// upper-cased by the Windows-1250 rules and cut to four characters: ".BMP" for "a.bmpx".
std::string PictureKey(const std::string& path);
// Only these keys denote pictures.
bool IsPictureKey(const std::string& key);

// The text after the size in a bitmap's caption: " - 24bit color", "(custom color)", ...
std::string ColorDepthText(int bitsPerPixel, std::uint32_t compression, std::uint32_t greenMask);

// prefix + file name, and for a ".BMP" key " (%d x %d)" and the colour-depth text.
std::string PictureCaption(const std::string& prefix, const std::string& path, const std::string& key,
                           const vcl::TPicture& picture);

// The folder the folder list starts in: "Tapety" in the program folder, else "Inne", else the
// program folder itself (`programFolder` ends in a backslash; so does the result). Only a
// folder counts, not a file of that name.
std::string StartFolder(const std::string& programFolder);

} // namespace vl_pic32
