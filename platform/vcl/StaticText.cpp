#include <vcl/StaticText.h>

#include "Internal.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace vcl {

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner, detail::makePaintedWidget()) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(Left(), Top(), 65, 17);
    SetClickEvents(true);
    detail::setAccessibleRole(Widget(), QAccessible::StaticText, true);
}

void TStaticText::updateAccessibleText() {
    const QString shown = detail::captionText(m_caption);
    detail::setAccessibleText(Widget(), m_showAccelChar ? detail::mnemonicFree(shown) : shown);
}

void TStaticText::SetCaption(const std::string& caption) {
    m_caption = caption;
    updateAccessibleText();
    adjustSize();
    Invalidate();
}

void TStaticText::SetAlignment(TAlignment a) {
    m_alignment = a;
    Invalidate();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle style) {
    m_border = style;
    adjustSize();
    Invalidate();
}

void TStaticText::SetAutoSize(bool value) {
    m_autoSize = value;
    adjustSize();
}

void TStaticText::SetShowAccelChar(bool value) {
    m_showAccelChar = value;
    updateAccessibleText();
    Invalidate();
}

void TStaticText::FontChanged() {
    TWinControl::FontChanged();
    adjustSize();
}

void TStaticText::adjustSize() {
    if (!m_autoSize || !Widget())
        return;
    const QFontMetrics fm(detail::toQFont(Font()));
    const QRect r = fm.boundingRect(QRect(0, 0, 32767, 32767), detail::textFlags(taLeftJustify, tlTop, m_showAccelChar, false),
                                    detail::captionText(m_caption.empty() ? " " : m_caption));
    const int frame = m_border == sbsNone ? 0 : m_border == sbsSingle ? 2 : 4;
    SetBounds(Left(), Top(), r.width() + frame, r.height() + frame);
}

bool TStaticText::DialogChar(WORD key, TShiftState shift) {
    if (!m_showAccelChar || !m_focusControl || !detail::isAccel(key, shift, m_caption) ||
        !m_focusControl->CanFocus())
        return false;
    m_focusControl->SetFocus();
    return true;
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
    p.setPen(detail::toQColor(Enabled() ? Font().Color() : clGrayText));
    p.drawText(r, detail::textFlags(m_alignment, tlTop, m_showAccelChar, true), detail::captionText(m_caption));
}

} // namespace vcl
