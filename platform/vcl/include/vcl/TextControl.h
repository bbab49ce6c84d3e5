#pragma once

// What a label and a static text share: a caption whose "&" marks the accelerator that moves
// the focus to FocusControl, the caption's alignment, and sizing to the text while AutoSize
// holds. `Base` is the kind of control beneath: a painted one (TControl) for a label, a
// windowed one (TWinControl) for a static text. The widget's accessible name is the caption
// as read aloud (without the accelerator's "&").

#include <vcl/Control.h>
#include <vcl/WinControl.h>

#include <string>

class QRect;

namespace vcl {

template <class Base> class TTextControl : public Base {
  public:
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control) { m_focusControl = control; }

    bool DialogChar(WORD key, TShiftState shift) override;

  protected:
    // The control paints itself; AutoSize starts as `autoSize`.
    TTextControl(TComponent* owner, bool autoSize);

    void FontChanged() override;

    // Takes the size of the caption while AutoSize holds.
    void AdjustSize();
    // The pixels the control draws around its text, counted over both sides.
    virtual int TextMargins() const { return 0; }
    // True when the caption wraps at the control's width, which AdjustSize then keeps.
    virtual bool WrapsText() const { return false; }
    // Draws the caption in `r` in the font's colour (grey while disabled).
    void PaintCaption(QPainter& painter, const QRect& r, TTextLayout layout, bool wrap) const;

  private:
    void updateAccessibleText();

    std::string m_caption;
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize;
    bool m_showAccelChar = true;
    TWinControl* m_focusControl = nullptr;
};

extern template class TTextControl<TControl>;
extern template class TTextControl<TWinControl>;

} // namespace vcl
