#pragma once

// Holds one graphic of any kind, chosen by the file's extension when loading: "bmp" a bitmap,
// "jpg" a JPEG picture, "ico" an icon (letter case ignored). Assigning one picture to another
// shares the decoded pixels.

#include <vcl/Graphic.h>
#include <vcl/Object.h>

#include <memory>
#include <string>

namespace vcl {

class TBitmap;

class TPicture : public TObject {
  public:
    TPicture() = default;
    ~TPicture() override;

    // Replaces the graphic by the one the file holds. Any other extension raises
    // EInvalidGraphic "Unknown picture file extension (.%s)" (the extension as written).
    // A failed load leaves the picture as it was.
    void LoadFromFile(const std::string& fileName);
    // Takes a copy of `source`'s graphic (sharing its pixels); an empty or null source clears.
    void Assign(const TPicture* source);

    // The graphic, or nullptr while the picture is empty.
    TGraphic* Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic when it is a bitmap, else nullptr.
    TBitmap* Bitmap() const;

    int Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int Height() const { return m_graphic ? m_graphic->Height() : 0; }

    // Raised after every change of the graphic.
    TNotifyEvent OnChange;

  private:
    void changed();

    std::unique_ptr<TGraphic> m_graphic;
};

} // namespace vcl
