#include <vcl/Bevel.h>

#include "Internal.h"

#include <QPainter>
#include <QWidget>

namespace vcl {

TBevel::TBevel(TComponent* owner) : TControl(owner, detail::makePaintedWidget()) {
    SetBounds(Left(), Top(), 50, 50);
    Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::SetShape(TBevelShape shape) {
    m_shape = shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
    m_style = style;
    Invalidate();
}

void TBevel::Paint(QPainter& p) const {
    // Lowered: the shadow above and left of the light; raised the other way round.
    const QColor first = detail::toQColor(m_style == bsLowered ? clBtnShadow : clBtnHighlight);
    const QColor second = detail::toQColor(m_style == bsLowered ? clBtnHighlight : clBtnShadow);
    const int w = Width(), h = Height();
    auto hline = [&](int y) {
        p.setPen(first);
        p.drawLine(0, y, w - 1, y);
        p.setPen(second);
        p.drawLine(0, y + 1, w - 1, y + 1);
    };
    auto vline = [&](int x) {
        p.setPen(first);
        p.drawLine(x, 0, x, h - 1);
        p.setPen(second);
        p.drawLine(x + 1, 0, x + 1, h - 1);
    };
    switch (m_shape) {
    case bsBox:
        p.setPen(first);
        p.drawLine(0, 0, w - 1, 0);
        p.drawLine(0, 0, 0, h - 1);
        p.setPen(second);
        p.drawLine(w - 1, 0, w - 1, h - 1);
        p.drawLine(0, h - 1, w - 1, h - 1);
        break;
    case bsFrame:
        p.setPen(first);
        p.drawRect(0, 0, w - 2, h - 2);
        p.setPen(second);
        p.drawRect(1, 1, w - 2, h - 2);
        break;
    case bsTopLine:
        hline(0);
        break;
    case bsBottomLine:
        hline(h - 2);
        break;
    case bsLeftLine:
        vline(0);
        break;
    case bsRightLine:
        vline(w - 2);
        break;
    case bsSpacer:
        break;
    }
}

} // namespace vcl
