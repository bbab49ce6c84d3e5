#include <vcl/CheckBox.h>

#include "Internal.h"

#include <QCheckBox>

namespace vcl {

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner, detail::makeWidget<QCheckBox>()) {
    SetBounds(Left(), Top(), 97, 17);
    // Every change of state, whoever made it, is one click for the program.
    QObject::connect(WidgetAs<QCheckBox>(), &QCheckBox::toggled, SignalContext(), [this](bool) { Click(); });
}

void TCheckBox::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (auto* box = WidgetAs<QCheckBox>())
        box->setText(detail::toQt(caption));
}

bool TCheckBox::Checked() const {
    auto* box = WidgetAs<QCheckBox>();
    return box && box->isChecked();
}

void TCheckBox::SetChecked(bool value) {
    if (auto* box = WidgetAs<QCheckBox>())
        box->setChecked(value);
}

bool TCheckBox::DialogChar(WORD key, TShiftState shift) {
    if (!detail::isAccel(key, shift, m_caption) || !CanFocus())
        return false;
    SetFocus();
    SetChecked(!Checked());
    return true;
}

} // namespace vcl
