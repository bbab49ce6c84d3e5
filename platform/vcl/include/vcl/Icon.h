#pragma once

// A Windows icon (.ico): its largest image, decoded by Qt's icon reader.

#include <vcl/Graphic.h>

namespace vcl {

class TIcon : public TGraphic {
  public:
    TIcon() = default;

    // "Icon image is not valid" for a damaged file.
    void LoadFromFile(const std::string& fileName) override;
    std::unique_ptr<TGraphic> Clone() const override;

  private:
    TIcon(const TIcon& other) = default;
};

} // namespace vcl
