#pragma once

// A progress bar between Min and Max; positions are full integers, well beyond 16 bits.

#include <vcl/WinControl.h>

namespace vcl {

class TProgressBar : public TWinControl {
  public:
    explicit TProgressBar(TComponent* owner);

    int Min() const { return m_min; }
    void SetMin(int v);
    int Max() const { return m_max; }
    void SetMax(int v);
    int Position() const { return m_position; }
    // Kept within Min..Max.
    void SetPosition(int v);
    int Step() const { return m_step; }
    void SetStep(int v) { m_step = v; }
    // Advances by Step, going round to Min past Max as the platform's bar does.
    void StepIt();
    void StepBy(int delta) { SetPosition(m_position + delta); }

  private:
    void show();

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_step = 10;
};

} // namespace vcl
