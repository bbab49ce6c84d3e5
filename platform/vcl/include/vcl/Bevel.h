#pragma once

// A bevelled box, frame or line, for decoration only.

#include <vcl/Control.h>

namespace vcl {

class TBevel : public TControl {
  public:
    explicit TBevel(TComponent* owner);

    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle style);

    void Paint(QPainter& painter) const override;

  private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

} // namespace vcl
