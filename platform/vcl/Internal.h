#pragma once

// Toolkit internals shared by the control sources: text and colour conversion at the Qt
// boundary, control lookup from a widget, key codes.

#include <vcl/Colors.h>
#include <vcl/Font.h>
#include <vcl/Types.h>

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <cstddef>
#include <initializer_list>
#include <string>

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

// A plain widget whose paint event calls its control's Paint (the Qt application made first).
QWidget* makePaintedWidget();

// Sets `roles` of the widget's palette to `color`.
void setPaletteColor(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, TColor color);

// `index` as a position, or std::out_of_range unless 0 <= index < limit.
std::size_t checkedIndex(int index, int limit);

// Creates the Qt application when there is none yet.
void ensureQtApplication();

// The toolkit's event filter for control widgets (keys, resizes, shortcuts).
QObject* controlEventFilter();

} // namespace vcl::detail
