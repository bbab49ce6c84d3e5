#include <vcl/TextControl.h>

#include "Internal.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
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

QString accessibleText(const std::string& caption, bool accel) {
    const QString t = captionText(caption);
    return accel ? mnemonicFree(t) : t;
}
} // namespace detail

template <class Base>
TTextControl<Base>::TTextControl(TComponent* owner, bool autoSize)
    : Base(owner, detail::makePaintedWidget()), m_autoSize(autoSize) {
    detail::setAccessibleRole(this->Widget(), QAccessible::StaticText, true);
}

template <class Base> void TTextControl<Base>::updateAccessibleText() {
    detail::setAccessibleText(this->Widget(), detail::accessibleText(m_caption, m_showAccelChar));
}

template <class Base> void TTextControl<Base>::SetCaption(const std::string& caption) {
    m_caption = caption;
    updateAccessibleText();
    AdjustSize();
    this->Invalidate();
}

template <class Base> void TTextControl<Base>::SetAlignment(TAlignment a) {
    m_alignment = a;
    this->Invalidate();
}

template <class Base> void TTextControl<Base>::SetAutoSize(bool value) {
    m_autoSize = value;
    AdjustSize();
}

template <class Base> void TTextControl<Base>::SetShowAccelChar(bool value) {
    // A shown "&" takes room of its own.
    m_showAccelChar = value;
    updateAccessibleText();
    AdjustSize();
    this->Invalidate();
}

template <class Base> void TTextControl<Base>::FontChanged() {
    Base::FontChanged();
    AdjustSize();
}

template <class Base> void TTextControl<Base>::AdjustSize() {
    if (!m_autoSize || !this->Widget())
        return;
    const bool wrap = WrapsText();
    const QFontMetrics fm(detail::toQFont(this->Font()));
    const int flags = detail::textFlags(taLeftJustify, tlTop, m_showAccelChar, wrap);
    const int margins = TextMargins();
    const QRect limit(0, 0, wrap ? this->Width() - margins : 32767, 32767);
    const QRect r = fm.boundingRect(limit, flags, detail::captionText(m_caption.empty() ? " " : m_caption));
    this->SetBounds(this->Left(), this->Top(), wrap ? this->Width() : r.width() + margins,
                    r.height() + margins);
}

template <class Base> bool TTextControl<Base>::DialogChar(WORD key, TShiftState shift) {
    if (!m_showAccelChar || !m_focusControl || !detail::isAccel(key, shift, m_caption) ||
        !m_focusControl->CanFocus())
        return false;
    m_focusControl->SetFocus();
    return true;
}

template <class Base>
void TTextControl<Base>::PaintCaption(QPainter& p, const QRect& r, TTextLayout layout, bool wrap) const {
    p.setPen(detail::toQColor(this->Enabled() ? this->Font().Color() : clGrayText));
    p.drawText(r, detail::textFlags(m_alignment, layout, m_showAccelChar, wrap),
               detail::captionText(m_caption));
}

template class TTextControl<TControl>;
template class TTextControl<TWinControl>;

} // namespace vcl
