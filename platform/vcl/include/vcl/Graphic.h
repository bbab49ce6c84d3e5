#pragma once

// A picture of one kind (bitmap, JPEG, icon), decoded whole. Copies share the decoded pixels,
// so a thumbnail and a preview of one picture hold it once.

#include <vcl/Object.h>

#include <memory>
#include <string>

class QImage;

namespace vcl {

class TGraphic : public TObject {
  public:
    ~TGraphic() override;

    // Width and height in pixels; 0 while the graphic holds no picture.
    int Width() const;
    int Height() const;
    bool Empty() const;

    // Loads the picture from a file named in Windows form. "Cannot open file %s" (EFOpenError)
    // when it cannot be opened; EInvalidGraphic when it holds no picture of this kind. A
    // failed load leaves the graphic as it was.
    virtual void LoadFromFile(const std::string& fileName) = 0;
    // A new graphic of the same kind sharing this one's pixels.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    // The decoded pixels (toolkit internals: drawing, and tests).
    const QImage& Image() const;

  protected:
    TGraphic();
    TGraphic(const TGraphic& other);
    void SetImage(const QImage& image);

  private:
    std::unique_ptr<QImage> m_image;
};

} // namespace vcl
