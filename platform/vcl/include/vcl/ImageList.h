#pragma once

// A list of small pictures of one size, reached by index (menu item and speed button glyphs).

#include <vcl/Component.h>

#include <memory>

class QImage;

namespace vcl {

class TImageList : public TComponent {
  public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Sets the size of the pictures; the list is emptied.
    void SetSize(int width, int height);

    int Count() const;
    // Appends a picture, scaled to the list's size when it differs; returns its index.
    int Add(const QImage& image);
    // Appends a picture read from a host file (any format Qt reads); -1 when it cannot be read.
    int AddFromFile(const std::string& hostPath);
    void Delete(int index);
    void Clear();
    // Picture `index` (a null image when there is no such picture).
    const QImage& Image(int index) const;

    TNotifyEvent OnChange;

  private:
    struct Images;
    std::unique_ptr<Images> m_images;
    int m_width = 16;
    int m_height = 16;
};

} // namespace vcl
