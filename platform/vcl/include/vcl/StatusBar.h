#pragma once

// A status bar along the bottom of its form, 19 pixels high, showing one simple text panel.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TStatusBar : public TWinControl {
  public:
    explicit TStatusBar(TComponent* owner);

    bool SimplePanel() const { return m_simplePanel; }
    void SetSimplePanel(bool value);
    // The text of the simple panel; each one replaces the last in full.
    const std::string& SimpleText() const { return m_simpleText; }
    void SetSimpleText(const std::string& text);
    // A size grip at the right end (only where the form can be resized).
    bool SizeGrip() const { return m_sizeGrip; }
    void SetSizeGrip(bool value);

    void Paint(QPainter& painter) const override;

  private:
    std::string m_simpleText;
    bool m_simplePanel = true;
    bool m_sizeGrip = true;
};

} // namespace vcl
