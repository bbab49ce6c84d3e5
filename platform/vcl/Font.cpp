#include <vcl/Font.h>

#include <runtime/SysUtils.h>

#include <algorithm>
#include <cmath>

namespace vcl {

TFont::TFont(const TFont& other)
    : m_name(other.m_name), m_height(other.m_height), m_style(other.m_style), m_color(other.m_color),
      m_charset(other.m_charset) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) {
        m_name = other.m_name;
        m_height = other.m_height;
        m_style = other.m_style;
        m_color = other.m_color;
        m_charset = other.m_charset;
        changed();
    }
    return *this;
}

void TFont::SetName(const std::string& name) {
    m_name = name;
    changed();
}

int TFont::Size() const {
    // A positive height is the cell height; the point size goes by the character height.
    return static_cast<int>(std::lround(PixelSize() * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    m_height = -static_cast<int>(std::lround(points * 96.0 / 72.0));
    changed();
}

void TFont::SetHeight(int pixels) {
    m_height = pixels;
    changed();
}

void TFont::SetStyle(TFontStyles style) {
    m_style = style;
    changed();
}

void TFont::SetColor(TColor color) {
    m_color = color;
    changed();
}

std::string TFont::HostFamily() const {
    std::string n = rtl::LowerCase(rtl::Trim(m_name));
    if (n == "ms sans serif" || n == "microsoft sans serif" || n == "arial" || n == "helvetica" ||
        n == "ms shell dlg" || n == "ms shell dlg 2" || n == "system")
        return "Liberation Sans";
    if (n == "courier new" || n == "courier" || n == "fixedsys" || n == "terminal" || n == "lucida console")
        return "Liberation Mono";
    if (n == "times new roman" || n == "times" || n == "ms serif")
        return "Liberation Serif";
    if (n == "arial narrow")
        return "Liberation Sans Narrow";
    return "DejaVu Sans";
}

int TFont::PixelSize() const {
    if (m_height < 0)
        return -m_height;
    if (m_height == 0)
        return 11;
    // The cell height holds the internal leading, about a fifth of it.
    return std::max(1, static_cast<int>(std::lround(m_height * 0.8)));
}

void TFont::changed() {
    if (OnChange)
        OnChange();
}

} // namespace vcl
