#include <vcl/Button.h>

#include <vcl/Application.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QKeyEvent>
#include <QPushButton>

namespace vcl {

namespace {
// Enter on a focused button presses it, as Space does.
class ButtonWidget : public QPushButton {
  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QPushButton* makeButtonWidget() {
    auto* b = detail::makeWidget<ButtonWidget>();
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
    if (TForm* form = ParentForm(); form && m_modalResult != mrNone)
        form->SetModalResult(m_modalResult);
    Fire(OnClick, this);
}

bool TButton::DialogChar(WORD key, TShiftState shift) {
    if (!detail::isAccel(key, shift, m_caption) || !CanFocus())
        return false;
    SetFocus();
    Click();
    return true;
}

bool TButton::WantsKey(WORD key, TShiftState shift) const {
    return key == VK_RETURN && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

} // namespace vcl
