#pragma once

// A button drawn by the toolkit, without the keyboard focus: a glyph and a caption ("&" marks
// the accelerator, which clicks it). A flat button shows its edge only while the mouse is over
// it. Without an OnClick it serves as an icon with a hint.

#include <vcl/Control.h>

#include <memory>
#include <string>

class QImage;

namespace vcl {

class TImageList;

class TSpeedButton : public TControl {
  public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    // The picture beside the caption (a null image: none).
    const QImage& Glyph() const;
    void SetGlyph(const QImage& glyph);
    // The glyph from an image list.
    void SetGlyph(const TImageList& images, int index);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    // Pixels between the glyph and the caption.
    int Spacing() const { return m_spacing; }
    void SetSpacing(int pixels);

    bool DialogChar(WORD key, TShiftState shift) override;
    void Paint(QPainter& painter) const override;

    // Toolkit internals: the mouse state the widget reports.
    void SetHot(bool hot);
    void SetPressed(bool pressed);

  private:
    std::string m_caption;
    std::unique_ptr<QImage> m_glyph;
    bool m_flat = false;
    bool m_hot = false;
    bool m_pressed = false;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
};

} // namespace vcl
