#include <vcl/Button.h>

#include <vcl/Application.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QPushButton>

namespace vcl {

namespace {
QPushButton* makeButtonWidget() {
    detail::ensureQtApplication();
    auto* b = new QPushButton();
    b->setAutoDefault(false);
    return b;
}
} // namespace

TButton::TButton(TComponent* owner) : TWinControl(owner, makeButtonWidget()) {
    SetBounds(Left(), Top(), 75, 25);
    auto* button = static_cast<QPushButton*>(Widget());
    QObject::connect(button, &QPushButton::clicked, SignalContext(), [this] { Click(); });
}

TButton::~TButton() {
    if (TForm* form = ParentForm()) {
        form->setDefaultButton(this, false);
        form->setCancelButton(this, false);
    }
}

void TButton::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (auto* button = static_cast<QPushButton*>(Widget()))
        button->setText(detail::toQt(caption)); // "&" makes the mnemonic (Alt+letter)
}

bool TButton::Default() const {
    auto* button = static_cast<QPushButton*>(Widget());
    return button && button->isDefault();
}

void TButton::SetDefault(bool value) {
    if (auto* button = static_cast<QPushButton*>(Widget()))
        button->setDefault(value);
    if (TForm* form = ParentForm())
        form->setDefaultButton(this, value);
}

void TButton::SetCancel(bool value) {
    m_cancel = value;
    if (TForm* form = ParentForm())
        form->setCancelButton(this, value);
}

void TButton::Click() {
    RaiseEvent(OnClick, this);
}

} // namespace vcl
