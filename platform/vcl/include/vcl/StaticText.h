#pragma once

// A text in a box of its own: own font and colour, a border (none, single or sunken), a
// fixed size unless AutoSize is set, and line breaks in the caption start new lines.

#include <vcl/TextControl.h>

namespace vcl {

class TStaticText : public TTextControl<TWinControl> {
  public:
    explicit TStaticText(TComponent* owner);

    TStaticBorderStyle BorderStyle() const { return m_border; }
    void SetBorderStyle(TStaticBorderStyle style);

    void Paint(QPainter& painter) const override;

  protected:
    int TextMargins() const override;

  private:
    TStaticBorderStyle m_border = sbsNone;
};

} // namespace vcl
