#pragma once

// A text on its parent's background. An "&" in the caption underlines the next letter;
// Alt+letter then moves the focus to FocusControl. With AutoSize (the default) the label
// takes the size of its text.

#include <vcl/TextControl.h>

namespace vcl {

class TLabel : public TTextControl<TControl> {
  public:
    explicit TLabel(TComponent* owner);

    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    // False: the label fills its area with its Color (setting a Color makes it so).
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    void Paint(QPainter& painter) const override;

  protected:
    void ColorChanged() override;
    bool WrapsText() const override { return m_wordWrap; }

  private:
    TTextLayout m_layout = tlTop;
    bool m_wordWrap = false;
    bool m_transparent = true;
};

} // namespace vcl
