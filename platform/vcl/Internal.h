#pragma once

// Toolkit internals shared by the control sources: text and colour conversion at the Qt
// boundary, control lookup from a widget, key codes.

#include <vcl/Colors.h>
#include <vcl/Font.h>
#include <vcl/Types.h>

#include <QColor>
#include <QFont>
#include <QString>

#include <string>

class QKeyEvent;
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

// The toolkit's event filter for control widgets (keys, resizes, shortcuts).
QObject* controlEventFilter();

} // namespace vcl::detail
