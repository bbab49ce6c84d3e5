#include <vcl/Label.h>

#include "Internal.h"

#include <QPainter>
#include <QWidget>

namespace vcl {

TLabel::TLabel(TComponent* owner) : TTextControl(owner, true) {
    SetBounds(Left(), Top(), 65, 13);
    SetClickEvents(true);
    Widget()->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void TLabel::SetLayout(TTextLayout layout) {
    m_layout = layout;
    Invalidate();
}

void TLabel::SetWordWrap(bool value) {
    m_wordWrap = value;
    AdjustSize();
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    m_transparent = value;
    Invalidate();
}

void TLabel::ColorChanged() {
    // A label given a colour of its own shows it; otherwise its parent shows through.
    m_transparent = false;
    Invalidate();
}

void TLabel::Paint(QPainter& p) const {
    const QRect r(0, 0, Width(), Height());
    if (!m_transparent)
        p.fillRect(r, detail::toQColor(Color()));
    PaintCaption(p, r, m_layout, m_wordWrap);
}

} // namespace vcl
