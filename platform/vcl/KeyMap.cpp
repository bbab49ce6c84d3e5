// Conversions at the Qt boundary: texts, colours, fonts and key codes.

#include "Internal.h"

#include <runtime/Cp1250.h>

#include <QVariant>
#include <QWidget>

#include <array>
#include <utility>

namespace vcl::detail {

QString toQt(const std::string& cp1250) {
    return QString::fromStdString(rtl::cp1250ToUtf8(cp1250));
}

std::string fromQt(const QString& text) {
    return rtl::utf8ToCp1250(text.toStdString());
}

QColor toQColor(TColor color) {
    std::uint32_t rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont toQFont(const TFont& font) {
    const std::string family = font.HostFamily();
    QFont f(QString::fromStdString(family));
    f.setPixelSize(font.PixelSize());
    f.setBold(font.Style().Contains(fsBold));
    f.setItalic(font.Style().Contains(fsItalic));
    f.setUnderline(font.Style().Contains(fsUnderline));
    f.setStrikeOut(font.Style().Contains(fsStrikeOut));
    if (family == "Liberation Mono")
        f.setStyleHint(QFont::Monospace);
    return f;
}

namespace {
constexpr const char* kControlProperty = "vclControl";

// Keys whose codes are not a letter, digit or function key.
constexpr std::array<std::pair<int, WORD>, 30> kKeys = {{
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},        {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},       {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Plus, VK_ADD},        {Qt::Key_Minus, VK_SUBTRACT}, {Qt::Key_Asterisk, VK_MULTIPLY},
    {Qt::Key_Slash, VK_DIVIDE},    {Qt::Key_Comma, 0xBC},        {Qt::Key_Period, 0xBE},
    {Qt::Key_Semicolon, 0xBA},     {Qt::Key_Equal, 0xBB},        {Qt::Key_Apostrophe, 0xDE},
}};
} // namespace

TControl* controlOf(const QObject* widget) {
    if (!widget)
        return nullptr;
    QVariant v = widget->property(kControlProperty);
    return v.isValid() ? reinterpret_cast<TControl*>(v.value<quintptr>()) : nullptr;
}

void bindControl(QWidget* widget, TControl* control) {
    widget->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(control)));
}

WORD virtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<WORD>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<WORD>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (key - Qt::Key_F1));
    for (const auto& [q, vk] : kKeys) {
        if (q == key)
            return vk;
    }
    return 0;
}

int qtKey(WORD vk) {
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + (vk - VK_F1);
    for (const auto& [q, v] : kKeys) {
        if (v == vk)
            return q;
    }
    return 0;
}

TShiftState shiftState(Qt::KeyboardModifiers modifiers) {
    TShiftState s;
    if (modifiers & Qt::ShiftModifier)
        s << ssShift;
    if (modifiers & Qt::AltModifier)
        s << ssAlt;
    if (modifiers & Qt::ControlModifier)
        s << ssCtrl;
    return s;
}

Qt::KeyboardModifiers qtModifiers(TShiftState shift) {
    Qt::KeyboardModifiers m;
    if (shift.Contains(ssShift))
        m |= Qt::ShiftModifier;
    if (shift.Contains(ssAlt))
        m |= Qt::AltModifier;
    if (shift.Contains(ssCtrl))
        m |= Qt::ControlModifier;
    return m;
}

} // namespace vcl::detail
