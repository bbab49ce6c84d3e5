#pragma once

// A text in a box of its own: own font and colour, a border (none, single or sunken), a
// fixed size unless AutoSize is set, and line breaks in the caption start new lines.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TStaticText : public TWinControl {
  public:
    explicit TStaticText(TComponent* owner);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    TStaticBorderStyle BorderStyle() const { return m_border; }
    void SetBorderStyle(TStaticBorderStyle style);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control) { m_focusControl = control; }

    bool DialogChar(WORD key, TShiftState shift) override;
    void Paint(QPainter& painter) const override;

  protected:
    void FontChanged() override;

  private:
    void adjustSize();
    void updateAccessibleText();

    std::string m_caption;
    TAlignment m_alignment = taLeftJustify;
    TStaticBorderStyle m_border = sbsNone;
    bool m_autoSize = false;
    bool m_showAccelChar = true;
    TWinControl* m_focusControl = nullptr;
};

} // namespace vcl
