#pragma once

// A panel: a coloured area with an optional caption (centred by default) and raised or
// lowered bevels; other controls may sit on it. The caption is drawn in the font's colour and
// is its widget's accessible name.

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TPanel : public TWinControl {
  public:
    explicit TPanel(TComponent* owner);

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int w);

    // Inside the bevels: aligned children leave them visible.
    TRect ClientRect() const override;

    void Paint(QPainter& painter) const override;

  private:
    std::string m_caption;
    TAlignment m_alignment = taCenter;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
};

} // namespace vcl
