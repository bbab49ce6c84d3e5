#pragma once

// A push button. An "&" in the caption underlines the next letter and makes Alt+letter press
// the button. The form's default button is pressed by Enter, its cancel button by Esc. A button
// with a ModalResult gives its form that result when pressed, before OnClick runs, so a modal
// form closes with it (OnClick may set the form's result back to mrNone to keep it open).

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner);
    ~TButton() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool Default() const;
    void SetDefault(bool value);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value);
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult value) { m_modalResult = value; }

    // Raises OnClick, as a press of the button does.
    void Click() override;

    bool DialogChar(WORD key, TShiftState shift) override;
    // A focused button takes Enter itself.
    bool WantsKey(WORD key, TShiftState shift) const override;

  private:
    std::string m_caption;
    bool m_cancel = false;
    TModalResult m_modalResult = mrNone;
};

} // namespace vcl
