#pragma once

// A control's font: face name, size (points) or height (pixels), style and colour.
// The Windows faces map onto fonts present on Linux ("MS Sans Serif" and "Arial" to
// Liberation Sans, "Courier New" to Liberation Mono, "Times New Roman" to Liberation Serif,
// others to DejaVu Sans); sizes are taken at 96 pixels per inch, as on the desktop the
// windows were laid out for.

#include <vcl/Colors.h>
#include <vcl/Types.h>

#include <functional>
#include <string>

namespace vcl {

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

inline constexpr int DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, EASTEUROPE_CHARSET = 238;

class TFont {
  public:
    TFont() = default;
    // Copies the look only; the copy has no change handler.
    TFont(const TFont& other);
    TFont& operator=(const TFont& other); // takes the look and raises the change handler

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);
    // Size in points; Height() is the matching negative pixel height (-11 for 8 points).
    int Size() const;
    void SetSize(int points);
    // Height in pixels: negative for the character height, positive for the cell height.
    int Height() const { return m_height; }
    void SetHeight(int pixels);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    int Charset() const { return m_charset; }
    void SetCharset(int charset) { m_charset = charset; }

    // The Linux face that stands in for Name().
    std::string HostFamily() const;
    // The character height in pixels the host font is given.
    int PixelSize() const;

    // Raised after every change; the owning control applies the font to its window.
    std::function<void()> OnChange;

  private:
    void changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    TFontStyles m_style;
    TColor m_color = clWindowText;
    int m_charset = DEFAULT_CHARSET;
};

} // namespace vcl
