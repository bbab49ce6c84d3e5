#include <vcl/CustomComboBox.h>

#include "Internal.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vcl {

namespace {
QComboBox* makeCombo() {
    auto* box = detail::makeWidget<QComboBox>();
    box->setEditable(false);
    return box;
}
} // namespace

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner, makeCombo()) {
    SetColor(clWindow);
    QObject::connect(Box(), &QComboBox::activated, SignalContext(), [this](int index) { Picked(index); });
}

QComboBox* TCustomComboBox::Box() const {
    return WidgetAs<QComboBox>();
}

int TCustomComboBox::ItemIndex() const {
    QComboBox* box = Box();
    return box ? box->currentIndex() : -1;
}

void TCustomComboBox::SetEntries(const std::vector<std::string>& texts, int current) {
    QComboBox* box = Box();
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& text : texts)
        box->addItem(detail::toQt(text));
    box->setCurrentIndex(current);
}

void TCustomComboBox::ShowEntry(int index) {
    Box()->setCurrentIndex(index);
}

} // namespace vcl
