#include "vl_pic32Picture.h"

#include <vcl/Bitmap.h>

#include <runtime/SysUtils.h>
#include <windows/Windows.h>

namespace vl_pic32 {

namespace {
std::size_t nameStart(const std::string& path) {
    const std::size_t sep = path.find_last_of("\\/:");
    return sep == std::string::npos ? 0 : sep + 1;
}

bool isFolder(const std::string& path) {
    const win::DWORD attr = win::GetFileAttributesA(path.c_str());
    return attr != win::INVALID_FILE_ATTRIBUTES && (attr & win::FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

std::string PictureKey(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart(path))
        return {};
    return rtl::AnsiUpperCase(path.substr(dot)).substr(0, 4);
}

bool IsPictureKey(const std::string& key) {
    return key == ".BMP" || key == ".JPG";
}

std::string ColorDepthText(int bitsPerPixel, std::uint32_t compression, std::uint32_t greenMask) {
    switch (bitsPerPixel) {
    case 1:
        return " - 1bit color";
    case 4:
        return " - 4bit color";
    case 8:
        return " - 8bit color";
    case 16:
        if (compression == vcl::BI_RGB)
            return " - 15bit color";
        if (compression == vcl::BI_BITFIELDS && greenMask == 0x07E0)
            return " - 16bit color";
        return "(custom color)";
    case 24:
        return " - 24bit color";
    case 32:
        return compression == vcl::BI_RGB ? " - 32bit color" : "(custom color)";
    default:
        return "(custom color)";
    }
}

std::string PictureCaption(const std::string& prefix, const std::string& path, const std::string& key,
                           const vcl::TPicture& picture) {
    std::string caption = prefix + path.substr(nameStart(path));
    if (key == ".BMP") {
        caption += rtl::Format(" (%d x %d)", {picture.Width(), picture.Height()});
        if (const vcl::TBitmap* bitmap = picture.Bitmap())
            caption += ColorDepthText(bitmap->BitsPerPixel(), bitmap->Compression(), bitmap->GreenMask());
    }
    return caption;
}

std::string StartFolder(const std::string& programFolder) {
    for (const char* name : {"Tapety", "Inne"}) {
        const std::string folder = programFolder + name;
        if (isFolder(folder))
            return folder + "\\";
    }
    return programFolder;
}

} // namespace vl_pic32
