#pragma once

// An image control: draws its picture at natural size from its top-left corner (cut at its
// edges), or, with Stretch, scaled smoothly to fill it exactly. Proportional keeps the
// picture's proportions: scaled to fit with Stretch, otherwise only a picture larger than the
// control is scaled down. Center puts the picture in the middle. An empty picture shows
// nothing, so the parent's background shows through. A click on it raises OnClick.

#include <vcl/Control.h>
#include <vcl/Picture.h>

#include <memory>

namespace vcl {

class TImage : public TControl {
  public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture& Picture() { return m_picture; }
    const TPicture& Picture() const { return m_picture; }
    // Takes a copy of `picture` (sharing its pixels).
    void SetPicture(const TPicture& picture) { m_picture.Assign(&picture); }

    bool Stretch() const { return m_stretch; }
    void SetStretch(bool value);
    bool Proportional() const { return m_proportional; }
    void SetProportional(bool value);
    bool Center() const { return m_center; }
    void SetCenter(bool value);

    // Where the picture is drawn, in client coordinates (empty without a picture).
    TRect DestRect() const;

    void Paint(QPainter& painter) const override;

  private:
    struct ScaledCache;

    TPicture m_picture;
    bool m_stretch = false;
    bool m_proportional = false;
    bool m_center = false;
    std::unique_ptr<ScaledCache> m_scaled;
};

} // namespace vcl
