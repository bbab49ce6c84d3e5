#include <vcl/Dialogs.h>

#include <vcl/Application.h>
#include <vcl/MessageBox.h>
#include "Internal.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QSpacerItem>
#include <QWidget>

namespace vcl {

namespace detail {

int captionFitWidth(const QString& caption) {
    // The title bar's font is the window manager's; the application's bold font is a fair
    // stand-in. Room is left for the icon, the buttons and the frame.
    QFont title = QApplication::font();
    title.setBold(true);
    const int text = QFontMetrics(title).horizontalAdvance(caption);
    constexpr int kTitleBarExtras = 120;
    return text + kTitleBarExtras;
}

void fitCaption(QWidget& dialog) {
    const int width = captionFitWidth(dialog.windowTitle());
    // A message box sizes itself from its layout; a spacer across it holds the width.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                      grid->columnCount());
    } else {
        dialog.setMinimumWidth(width);
    }
}

} // namespace detail

void ShowMessage(const std::string& message) {
    win::MessageBoxA(Application->Handle(), message.c_str(), Application->Title().c_str(), win::MB_OK);
}

} // namespace vcl
