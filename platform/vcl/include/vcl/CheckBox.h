#pragma once

// A check box with a caption ("&" marks the accelerator). OnClick runs on every change of
// the checked state: a click, Space, the accelerator, or the program setting Checked.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TCheckBox : public TWinControl {
  public:
    explicit TCheckBox(TComponent* owner);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool value);
    TCheckBoxState State() const { return Checked() ? cbChecked : cbUnchecked; }
    void SetState(TCheckBoxState state) { SetChecked(state == cbChecked); }

    bool DialogChar(WORD key, TShiftState shift) override;

  private:
    std::string m_caption;
};

} // namespace vcl
