#include <vcl/StatusBar.h>

#include "Internal.h"

#include <QPainter>
#include <QWidget>

namespace vcl {

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner, detail::makePaintedWidget()) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetHeight(19);
    SetAlign(alBottom);
    detail::setAccessibleRole(Widget(), QAccessible::StatusBar, false);
}

void TStatusBar::SetSimplePanel(bool value) {
    m_simplePanel = value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& text) {
    m_simpleText = text;
    detail::setAccessibleText(Widget(), detail::toQt(text));
    Repaint(); // shown at once: the texts come from inside long operations
}

void TStatusBar::SetSizeGrip(bool value) {
    m_sizeGrip = value;
    Invalidate();
}

void TStatusBar::Paint(QPainter& p) const {
    const QRect r(0, 0, Width(), Height());
    p.fillRect(r, detail::toQColor(Color()));
    // The panel: a sunken frame two pixels in from the top.
    const QRect panel = r.adjusted(0, 2, -1, -1);
    p.setPen(detail::toQColor(clBtnShadow));
    p.drawLine(panel.topLeft(), panel.topRight());
    p.drawLine(panel.topLeft(), panel.bottomLeft());
    p.setPen(detail::toQColor(clBtnHighlight));
    p.drawLine(panel.topRight(), panel.bottomRight());
    p.drawLine(panel.bottomLeft(), panel.bottomRight());
    p.setPen(detail::toQColor(Font().Color()));
    p.drawText(panel.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               detail::toQt(m_simpleText));
}

} // namespace vcl
