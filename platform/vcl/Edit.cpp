#include <vcl/Edit.h>

#include "Internal.h"

#include <QLineEdit>

namespace vcl {

TEdit::TEdit(TComponent* owner) : TWinControl(owner, detail::makeWidget<QLineEdit>()) {
    SetBounds(Left(), Top(), 121, 21);
    SetColor(clWindow);
    QObject::connect(WidgetAs<QLineEdit>(), &QLineEdit::textChanged, SignalContext(),
                     [this](const QString&) { Fire(OnChange, this); });
}

std::string TEdit::Text() const {
    auto* e = WidgetAs<QLineEdit>();
    return e ? detail::fromQt(e->text()) : std::string();
}

void TEdit::SetText(const std::string& text) {
    if (auto* e = WidgetAs<QLineEdit>())
        e->setText(detail::toQt(text));
}

void TEdit::SetPasswordChar(char c) {
    m_passwordChar = c;
    auto* e = WidgetAs<QLineEdit>();
    if (!e)
        return;
    e->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
    if (c) {
        const QString shown = detail::toQt(std::string(1, c));
        e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }").arg(shown.at(0).unicode()));
    } else {
        e->setStyleSheet(QString());
    }
}

bool TEdit::ReadOnly() const {
    auto* e = WidgetAs<QLineEdit>();
    return e && e->isReadOnly();
}

void TEdit::SetReadOnly(bool value) {
    if (auto* e = WidgetAs<QLineEdit>())
        e->setReadOnly(value);
}

void TEdit::SetMaxLength(int n) {
    m_maxLength = n < 0 ? 0 : n;
    if (auto* e = WidgetAs<QLineEdit>())
        e->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void TEdit::SelectAll() {
    if (auto* e = WidgetAs<QLineEdit>())
        e->selectAll();
}

std::string TEdit::SelText() const {
    auto* e = WidgetAs<QLineEdit>();
    return e ? detail::fromQt(e->selectedText()) : std::string();
}

bool TEdit::WantsKey(WORD key, TShiftState shift) const {
    return m_wantReturns && key == VK_RETURN && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

void TEdit::ColorChanged() {
    if (Widget())
        detail::setPaletteColor(Widget(), {QPalette::Base}, Color());
}

} // namespace vcl
