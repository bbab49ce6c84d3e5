#include <vcl/SpeedButton.h>

#include <vcl/ImageList.h>
#include "Internal.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace vcl {

namespace {
// Reports the mouse over and pressed states for the flat look.
class SpeedButtonWidget : public QWidget {
  protected:
    TSpeedButton* button() const { return dynamic_cast<TSpeedButton*>(detail::controlOf(this)); }
    void paintEvent(QPaintEvent*) override {
        if (TSpeedButton* b = button()) {
            QPainter p(this);
            b->Paint(p);
        }
    }
    void enterEvent(QEnterEvent*) override {
        if (TSpeedButton* b = button())
            b->SetHot(true);
    }
    void leaveEvent(QEvent*) override {
        if (TSpeedButton* b = button())
            b->SetHot(false);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (TSpeedButton* b = button(); b && e->button() == Qt::LeftButton)
            b->SetPressed(true);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (TSpeedButton* b = button(); b && e->button() == Qt::LeftButton)
            b->SetPressed(false);
    }
};

void edge(QPainter& p, QRect r, bool sunken) {
    p.setPen(detail::toQColor(sunken ? clBtnShadow : clBtnHighlight));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(detail::toQColor(sunken ? clBtnHighlight : clBtnShadow));
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}
} // namespace

TSpeedButton::TSpeedButton(TComponent* owner)
    : TControl(owner, detail::makeWidget<SpeedButtonWidget>()), m_glyph(std::make_unique<QImage>()) {
    SetBounds(Left(), Top(), 23, 22);
    SetClickEvents(true);
    detail::setAccessibleRole(Widget(), QAccessible::PushButton, false);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetCaption(const std::string& caption) {
    m_caption = caption;
    detail::setAccessibleText(Widget(), detail::mnemonicFree(detail::captionText(caption)));
    Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
    m_flat = value;
    Invalidate();
}

const QImage& TSpeedButton::Glyph() const {
    return *m_glyph;
}

void TSpeedButton::SetGlyph(const QImage& glyph) {
    *m_glyph = glyph;
    Invalidate();
}

void TSpeedButton::SetGlyph(const TImageList& images, int index) {
    SetGlyph(images.Image(index));
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
    m_layout = layout;
    Invalidate();
}

void TSpeedButton::SetSpacing(int pixels) {
    m_spacing = pixels;
    Invalidate();
}

void TSpeedButton::SetHot(bool hot) {
    m_hot = hot;
    Invalidate();
}

void TSpeedButton::SetPressed(bool pressed) {
    m_pressed = pressed;
    Invalidate();
}

bool TSpeedButton::DialogChar(WORD key, TShiftState shift) {
    if (!detail::isAccel(key, shift, m_caption) || !Enabled())
        return false;
    Click();
    return true;
}

void TSpeedButton::Paint(QPainter& p) const {
    const QRect r(0, 0, Width(), Height());
    p.fillRect(r, detail::toQColor(Color()));
    const bool down = m_pressed && m_hot && Enabled();
    if (!m_flat || (m_hot && Enabled()))
        edge(p, r.adjusted(0, 0, -1, -1), down);

    const QString text = detail::captionText(m_caption);
    const QFontMetrics fm(p.font());
    const QSize textSize = text.isEmpty() ? QSize() : fm.size(Qt::TextShowMnemonic, text);
    const QSize glyphSize = m_glyph->isNull() ? QSize() : m_glyph->size();
    const bool vertical = m_layout == blGlyphTop || m_layout == blGlyphBottom;
    const int gap = glyphSize.isEmpty() || textSize.isEmpty() ? 0 : m_spacing;
    const int w = vertical ? std::max(glyphSize.width(), textSize.width())
                           : glyphSize.width() + gap + textSize.width();
    const int h = vertical ? glyphSize.height() + gap + textSize.height()
                           : std::max(glyphSize.height(), textSize.height());
    QPoint origin((r.width() - w) / 2, (r.height() - h) / 2);
    if (down)
        origin += QPoint(1, 1);
    QPoint glyphAt, textAt;
    switch (m_layout) {
    case blGlyphLeft:
        glyphAt = origin + QPoint(0, (h - glyphSize.height()) / 2);
        textAt = origin + QPoint(glyphSize.width() + gap, (h - textSize.height()) / 2);
        break;
    case blGlyphRight:
        textAt = origin + QPoint(0, (h - textSize.height()) / 2);
        glyphAt = origin + QPoint(textSize.width() + gap, (h - glyphSize.height()) / 2);
        break;
    case blGlyphTop:
        glyphAt = origin + QPoint((w - glyphSize.width()) / 2, 0);
        textAt = origin + QPoint((w - textSize.width()) / 2, glyphSize.height() + gap);
        break;
    case blGlyphBottom:
        textAt = origin + QPoint((w - textSize.width()) / 2, 0);
        glyphAt = origin + QPoint((w - glyphSize.width()) / 2, textSize.height() + gap);
        break;
    }
    if (!m_glyph->isNull()) {
        if (Enabled()) {
            p.drawImage(glyphAt, *m_glyph);
        } else {
            p.setOpacity(0.4);
            p.drawImage(glyphAt, m_glyph->convertToFormat(QImage::Format_Grayscale8));
            p.setOpacity(1.0);
        }
    }
    if (!text.isEmpty()) {
        p.setPen(detail::toQColor(Enabled() ? Font().Color() : clGrayText));
        p.drawText(QRect(textAt, textSize), Qt::TextShowMnemonic | Qt::AlignCenter, text);
    }
}

} // namespace vcl
