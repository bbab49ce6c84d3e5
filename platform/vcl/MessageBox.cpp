#include <vcl/MessageBox.h>

#include "Internal.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <utility>
#include <vector>

namespace win {

namespace {
constexpr UINT kButtonsMask = 0x0F, kIconMask = 0xF0, kDefaultMask = 0xF00, kTopMost = 0x40000;

std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsOf(UINT type) {
    using B = QMessageBox;
    switch (type & kButtonsMask) {
    case MB_OKCANCEL:
        return {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{B::Yes, IDYES}, {B::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}};
    default:
        return {{B::Ok, IDOK}};
    }
}

QMessageBox::Icon iconOf(UINT type) {
    switch (type & kIconMask) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QString buttonText(int id) {
    switch (id) {
    case IDCANCEL:
        return QStringLiteral("Cancel");
    case IDABORT:
        return QStringLiteral("&Abort");
    case IDRETRY:
        return QStringLiteral("&Retry");
    case IDIGNORE:
        return QStringLiteral("&Ignore");
    case IDYES:
        return QStringLiteral("&Yes");
    case IDNO:
        return QStringLiteral("&No");
    default:
        return QStringLiteral("OK");
    }
}

MessageBoxHook& hook() {
    static MessageBoxHook current;
    return current;
}
} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook next) {
    return std::exchange(hook(), std::move(next));
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    text = text ? text : "";
    caption = caption ? caption : "";
    if (hook())
        return hook()(owner, text, caption, type);

    vcl::detail::ensureQtApplication();
    QWidget* parent = owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
    QMessageBox box(parent);
    box.setWindowTitle(vcl::detail::toQt(caption));
    box.setText(vcl::detail::toQt(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(iconOf(type));
    if (type & kTopMost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);

    auto buttons = buttonsOf(type);
    std::vector<QPushButton*> made;
    int escapeId = 0;
    for (const auto& [button, id] : buttons) {
        made.push_back(box.addButton(button));
        made.back()->setText(buttonText(id)); // the platform's own texts, whatever Qt's language
        if (id == IDCANCEL || (buttons.size() == 1 && id == IDOK)) {
            escapeId = id;
            box.setEscapeButton(made.back());
        }
    }
    std::size_t defaultIndex = (type & kDefaultMask) >> 8;
    box.setDefaultButton(made.at(defaultIndex < made.size() ? defaultIndex : 0));

    vcl::detail::fitCaption(box);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (made[i] == clicked)
            return buttons[i].second;
    }
    // Closed without a button (its close box where there is no cancel button).
    return escapeId != 0 ? escapeId : buttons.front().second;
}

} // namespace win
