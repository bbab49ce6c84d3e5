#pragma once

// A text on its parent's background. An "&" in the caption underlines the next letter;
// Alt+letter then moves the focus to FocusControl. With AutoSize (the default) the label
// takes the size of its text.

#include <vcl/Control.h>

#include <string>

namespace vcl {

class TLabel : public TControl {
  public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout layout);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);
    // False: the label fills its area with its Color (setting a Color makes it so).
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control) { m_focusControl = control; }

    bool DialogChar(WORD key, TShiftState shift) override;
    void Paint(QPainter& painter) const override;

  protected:
    void FontChanged() override;
    void ColorChanged() override;

  private:
    void adjustSize();
    void updateAccessibleText();

    std::string m_caption;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_transparent = true;
    bool m_showAccelChar = true;
    TWinControl* m_focusControl = nullptr;
};

} // namespace vcl
