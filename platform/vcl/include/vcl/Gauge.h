#pragma once

// A progress gauge: a bar filled in ForeColor on BackColor in proportion to Progress between
// MinValue and MaxValue, with the percentage ("42%") centred over it, drawn in ForeColor over
// the empty part and in BackColor over the filled part.

#include <vcl/Control.h>

namespace vcl {

class TGauge : public TControl {
  public:
    explicit TGauge(TComponent* owner);

    TGaugeKind Kind() const { return m_kind; }
    // gkHorizontalBar (the default) and gkVerticalBar are drawn as bars, gkText as text only.
    void SetKind(TGaugeKind kind);
    int MinValue() const { return m_min; }
    void SetMinValue(int v);
    int MaxValue() const { return m_max; }
    void SetMaxValue(int v);
    int Progress() const { return m_progress; }
    // Kept within MinValue..MaxValue.
    void SetProgress(int v);
    void AddProgress(int delta) { SetProgress(m_progress + delta); }
    // Whole percent done, rounded down; 0 when the range is empty.
    int PercentDone() const;
    TColor BackColor() const { return m_back; }
    void SetBackColor(TColor c);
    TColor ForeColor() const { return m_fore; }
    void SetForeColor(TColor c);
    bool ShowText() const { return m_showText; }
    void SetShowText(bool v);

    void Paint(QPainter& painter) const override;

  private:
    TGaugeKind m_kind = gkHorizontalBar;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    TColor m_back = clWhite;
    TColor m_fore = clBlack;
    bool m_showText = true;
};

} // namespace vcl
