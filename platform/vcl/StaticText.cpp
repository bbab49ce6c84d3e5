#include <vcl/StaticText.h>

#include "Internal.h"

#include <QPainter>
#include <QWidget>

namespace vcl {

TStaticText::TStaticText(TComponent* owner) : TTextControl(owner, false) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(Left(), Top(), 65, 17);
    SetClickEvents(true);
}

void TStaticText::SetBorderStyle(TStaticBorderStyle style) {
    m_border = style;
    AdjustSize();
    Invalidate();
}

int TStaticText::TextMargins() const {
    return m_border == sbsNone ? 0 : m_border == sbsSingle ? 2 : 4;
}

void TStaticText::Paint(QPainter& p) const {
    QRect r(0, 0, Width(), Height());
    p.fillRect(r, detail::toQColor(Color()));
    if (m_border == sbsSingle) {
        p.setPen(detail::toQColor(clWindowFrame));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    } else if (m_border == sbsSunken) {
        const QColor shadow = detail::toQColor(clBtnShadow), light = detail::toQColor(clBtnHighlight);
        for (int i = 0; i < 2; ++i) {
            p.setPen(i == 0 ? shadow : detail::toQColor(cl3DDkShadow));
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(i == 0 ? light : detail::toQColor(cl3DLight));
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            r.adjust(1, 1, -1, -1);
        }
    }
    PaintCaption(p, r, tlTop, true);
}

} // namespace vcl
