#include <vcl/Label.h>

#include <vcl/WinControl.h>
#include "Internal.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace vcl {

namespace detail {
// Qt's text flags for a caption: alignment, layout, mnemonic and wrapping.
int textFlags(TAlignment a, TTextLayout l, bool accel, bool wrap) {
    int f = a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    f |= l == tlCenter ? Qt::AlignVCenter : l == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
    f |= accel ? Qt::TextShowMnemonic : 0;
    f |= wrap ? Qt::TextWordWrap : 0;
    return f;
}

// The caption as Qt draws it: line breaks as single line feeds.
QString captionText(const std::string& caption) {
    QString t = toQt(caption);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace detail

TLabel::TLabel(TComponent* owner) : TControl(owner, detail::makePaintedWidget()) {
    SetBounds(Left(), Top(), 65, 13);
    SetClickEvents(true);
    Widget()->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    detail::setAccessibleRole(Widget(), QAccessible::StaticText, true);
}

void TLabel::updateAccessibleText() {
    const QString shown = detail::captionText(m_caption);
    detail::setAccessibleText(Widget(), m_showAccelChar ? detail::mnemonicFree(shown) : shown);
}

void TLabel::SetCaption(const std::string& caption) {
    m_caption = caption;
    updateAccessibleText();
    adjustSize();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment a) {
    m_alignment = a;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
    m_layout = layout;
    Invalidate();
}

void TLabel::SetAutoSize(bool value) {
    m_autoSize = value;
    adjustSize();
}

void TLabel::SetWordWrap(bool value) {
    m_wordWrap = value;
    adjustSize();
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    m_transparent = value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    m_showAccelChar = value;
    updateAccessibleText();
    adjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    TControl::FontChanged();
    adjustSize();
}

void TLabel::ColorChanged() {
    // A label given a colour of its own shows it; otherwise its parent shows through.
    m_transparent = false;
    Invalidate();
}

void TLabel::adjustSize() {
    if (!m_autoSize || !Widget())
        return;
    const QFontMetrics fm(detail::toQFont(Font()));
    const int flags = detail::textFlags(taLeftJustify, tlTop, m_showAccelChar, m_wordWrap);
    const QRect limit(0, 0, m_wordWrap ? Width() : 32767, 32767);
    QRect r = fm.boundingRect(limit, flags, detail::captionText(m_caption.empty() ? " " : m_caption));
    SetBounds(Left(), Top(), m_wordWrap ? Width() : r.width(), r.height());
}

bool TLabel::DialogChar(WORD key, TShiftState shift) {
    if (!m_showAccelChar || !m_focusControl || !detail::isAccel(key, shift, m_caption) ||
        !m_focusControl->CanFocus())
        return false;
    m_focusControl->SetFocus();
    return true;
}

void TLabel::Paint(QPainter& p) const {
    const QRect r(0, 0, Width(), Height());
    if (!m_transparent)
        p.fillRect(r, detail::toQColor(Color()));
    p.setPen(detail::toQColor(Enabled() ? Font().Color() : clGrayText));
    p.drawText(r, detail::textFlags(m_alignment, m_layout, m_showAccelChar, m_wordWrap),
               detail::captionText(m_caption));
}

} // namespace vcl
