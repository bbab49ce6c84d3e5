#pragma once

// Toolkit internals shared by the control sources: text and colour conversion at the Qt
// boundary, control lookup from a widget, key codes.

#include <vcl/Colors.h>
#include <vcl/Font.h>
#include <vcl/Types.h>

#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>

class QObject;
class QWidget;

namespace vcl {
class TControl;
}

namespace vcl::detail {

QString toQt(const std::string& cp1250);
std::string fromQt(const QString& text);
QColor toQColor(TColor color);
QFont toQFont(const TFont& font);

// The control a widget backs (set when the control is made), or nullptr.
TControl* controlOf(const QObject* widget);
void bindControl(QWidget* widget, TControl* control);

// Virtual-key code of a Qt key (0 when it has none) and the Qt key of a virtual-key code.
WORD virtualKey(int qtKey);
int qtKey(WORD vk);
TShiftState shiftState(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers qtModifiers(TShiftState shift);

// Creates the Qt application when there is none yet.
void ensureQtApplication();

// A plain widget whose paint event calls its control's Paint (the Qt application made first).
QWidget* makePaintedWidget();

// A new widget of class W for a control, the Qt application made first.
template <class W, class... Args> W* makeWidget(Args&&... args) {
    ensureQtApplication();
    return new W(std::forward<Args>(args)...);
}

// The Qt cursor shape of a toolkit cursor.
Qt::CursorShape qtCursor(TCursor cursor);

// The accelerator letter of a caption: the character after a single "&" (upper-cased by the
// Windows-1250 rules), or 0 when it has none.
char accelChar(const std::string& caption);
// True when `key` with `shift` is the caption's accelerator (Alt+letter).
bool isAccel(WORD key, TShiftState shift, const std::string& caption);

// Sets `roles` of the widget's palette to `color`.
void setPaletteColor(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, TColor color);

// `index` as a position, or rtl::EListError unless 0 <= index < limit.
std::size_t checkedIndex(int index, int limit);

// Qt's text flags for a caption: alignment, layout, the "&" mnemonic and word wrapping.
int textFlags(TAlignment a, TTextLayout l, bool accel, bool wrap);
// A caption as Qt draws it, its line breaks as single line feeds.
QString captionText(const std::string& caption);

// Widens a dialog so that the window manager's title bar shows its whole caption (the
// title's text, the close box and the frame's margins).
void fitCaption(QWidget& dialog);
// The width fitCaption gives a dialog at least.
int captionFitWidth(const QString& caption);

// Lets the toolkit's event filter watch a control's widget (and the viewport of a scrolled
// view, which takes its mouse input).
void watchWidget(QWidget* widget);

// The toolkit's event filter for control widgets (keys, resizes, shortcuts).
QObject* controlEventFilter();

// Gives a painted control's widget the role assistive tools see (and, with `hasText`, its
// accessible text as a read-only text with its font and colours).
void setAccessibleRole(QWidget* widget, QAccessible::Role role, bool hasText);
// The accessible name (and text) of a painted control, kept current by the control.
void setAccessibleText(QWidget* widget, const QString& text);
// A caption as read aloud: each "&" that marks an accelerator left out, "&&" as one "&".
QString mnemonicFree(const QString& caption);
// The text attributes of a control as assistive tools read them: font family, size in points,
// weight, style, underline and strike-out, text and background colours.
QString textAttributes(const QWidget* widget);

} // namespace vcl::detail
