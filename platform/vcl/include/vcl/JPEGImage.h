#pragma once

// A JPEG picture, decoded whole by Qt's JPEG reader.

#include <vcl/Graphic.h>

namespace vcl {

class TJPEGImage : public TGraphic {
  public:
    TJPEGImage() = default;

    // A damaged file fails with "JPEG error: " and the decoder's reason.
    void LoadFromFile(const std::string& fileName) override;
    std::unique_ptr<TGraphic> Clone() const override;

  private:
    TJPEGImage(const TJPEGImage& other) = default;
};

} // namespace vcl
