#include <vcl/Colors.h>

#include <array>

namespace vcl {

namespace {
// The classic Windows scheme, 0x00BBGGRR, by system colour number.
constexpr std::array<std::uint32_t, 25> kSystemColors = {
    0xC8D0D4, // scroll bar
    0xA56E3A, // desktop
    0x6A240A, // active caption
    0x808080, // inactive caption
    0xC8D0D4, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC8D0D4, // active border
    0xC8D0D4, // inactive border
    0x808080, // application work space
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0xC8D0D4, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC8D0D4, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3D dark shadow
    0xC8D0D4, // 3D light
    0x000000, // tooltip text
    0xE1FFFF, // tooltip background
};
} // namespace

std::uint32_t ColorToRGB(TColor color) {
    auto u = static_cast<std::uint32_t>(color);
    if (u & 0x80000000u) {
        std::uint32_t index = u & 0xFF;
        return index < kSystemColors.size() ? kSystemColors[index] : 0;
    }
    return u & 0x00FFFFFFu;
}

} // namespace vcl
