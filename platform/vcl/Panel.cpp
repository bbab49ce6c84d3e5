#include <vcl/Panel.h>

#include "Internal.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace vcl {

namespace {
// One bevel ring of `width` pixels; returns the rectangle inside it.
QRect drawBevel(QPainter& p, QRect r, TBevelCut cut, int width) {
    if (cut == bvNone)
        return r;
    const QColor light = detail::toQColor(clBtnHighlight), dark = detail::toQColor(clBtnShadow);
    for (int i = 0; i < width; ++i) {
        if (cut != bvSpace) {
            const QColor& topLeft = cut == bvRaised ? light : dark;
            const QColor& bottomRight = cut == bvRaised ? dark : light;
            p.setPen(topLeft);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(bottomRight);
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        }
        r.adjust(1, 1, -1, -1);
    }
    return r;
}
} // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner, detail::makePaintedWidget()) {
    SetBounds(Left(), Top(), 185, 41);
}

TRect TPanel::ClientRect() const {
    int inset = 0;
    if (m_bevelOuter != bvNone)
        inset += m_bevelWidth;
    if (m_bevelInner != bvNone)
        inset += m_bevelWidth;
    return TRect{inset, inset, std::max(inset, Width() - inset), std::max(inset, Height() - inset)};
}

void TPanel::SetCaption(const std::string& caption) {
    m_caption = caption;
    Widget()->setAccessibleName(detail::accessibleText(caption, false));
    Invalidate();
}

void TPanel::SetAlignment(TAlignment a) {
    m_alignment = a;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    m_bevelInner = cut;
    Realign();
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    m_bevelOuter = cut;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int w) {
    m_bevelWidth = std::max(1, w);
    Realign();
    Invalidate();
}

void TPanel::Paint(QPainter& p) const {
    QRect r(0, 0, Width(), Height());
    p.fillRect(r, detail::toQColor(Color()));
    r = drawBevel(p, r, m_bevelOuter, m_bevelWidth);
    r = drawBevel(p, r, m_bevelInner, m_bevelWidth);
    if (m_caption.empty())
        return;
    int align = Qt::AlignVCenter | Qt::TextSingleLine;
    align |= m_alignment == taLeftJustify    ? Qt::AlignLeft
             : m_alignment == taRightJustify ? Qt::AlignRight
                                             : Qt::AlignHCenter;
    p.setPen(detail::toQColor(Font().Color())); // not the pen of the last bevel line
    p.drawText(r, align, detail::toQt(m_caption));
}

} // namespace vcl
