#pragma once

// A one-line edit of Windows-1250 text. OnChange follows every change of the text, by the
// user or by the program. Enter goes to the form (the default button) unless WantReturns is
// set; then the edit keeps it and its OnKeyPress sees it as '\r'.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TEdit : public TWinControl {
  public:
    explicit TEdit(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);
    // Shown in place of each character (0: the text itself).
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char c);
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    // At most this many characters (0: no limit).
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int n);
    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool value) { m_wantReturns = value; }

    void SelectAll();
    std::string SelText() const;
    void Clear() { SetText(""); }

    bool WantsKey(WORD key, TShiftState shift) const override;

    TNotifyEvent OnChange;

  protected:
    void ColorChanged() override;

  private:
    char m_passwordChar = 0;
    int m_maxLength = 0;
    bool m_wantReturns = false;
};

} // namespace vcl
