#include <vcl/testing/UserInput.h>

#include <vcl/Application.h>
#include "../Internal.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QWidget>

namespace vcl::testing {

namespace {
QWidget* keyReceiver(TForm& form) {
    QWidget* w = form.Widget();
    QWidget* focus = w ? w->focusWidget() : nullptr;
    return focus ? focus : w;
}

void sendKey(QWidget* widget, WORD key, TShiftState shift) {
    if (!widget)
        return;
    int qt = detail::qtKey(key);
    QTest::keyClick(widget, static_cast<Qt::Key>(qt), detail::qtModifiers(shift));
}
} // namespace

void PressKey(TWinControl& control, WORD key, TShiftState shift) {
    // A key goes where the focus is, so the control takes the focus first, as a user's click would.
    if (!control.Focused())
        control.SetFocus();
    sendKey(control.Widget(), key, shift);
}

void PressKeyOn(TForm& form, WORD key, TShiftState shift) {
    sendKey(keyReceiver(form), key, shift);
}

void TypeText(TForm& form, const std::string& text) {
    QTest::keyClicks(keyReceiver(form), detail::toQt(text));
}

void ClickAt(TControl& control, int x, int y) {
    QWidget* w = control.Widget();
    if (!w)
        return;
    // The press goes to the control's own part under the point (the viewport of an item view,
    // the tab bar of a page control), as the window system would send it, but never into
    // another control sitting on this one.
    QWidget* target = w;
    for (QWidget* part = w->childAt(x, y); part && part != w; part = part->parentWidget()) {
        if (detail::controlOf(part)) {
            target = w;
            break;
        }
        if (target == w)
            target = part;
    }
    const QPoint at = target->mapFrom(w, QPoint(x, y));
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
}

void ClickListLine(TListBox& list, int row) {
    auto* widget = static_cast<QListWidget*>(list.Widget());
    const QRect r = widget->visualItemRect(widget->item(row));
    const QPoint p = widget->viewport()->mapTo(widget, r.center());
    ClickAt(list, p.x(), p.y());
}

std::vector<std::string> ListLines(const TListBox& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Items().Count(); ++i)
        out.push_back(list.Items()[i]);
    return out;
}

void ClickControl(TControl& control) {
    ClickAt(control, control.Width() / 2, control.Height() / 2);
}

void ClickCloseBox(TForm& form) {
    if (QWidget* w = form.Widget())
        w->close();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(1);
    }
    return true;
}

void ProcessMessagesFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(1);
    }
}

bool ShowAndWait(TForm& form, int timeoutMs) {
    form.Show();
    QWidget* w = form.Widget();
    return w && QTest::qWaitForWindowExposed(w, timeoutMs) && QTest::qWaitForWindowActive(w, timeoutMs);
}

bool SaveScreenshot(TControl& control, const std::string& hostPath) {
    QWidget* w = control.Widget();
    if (!w)
        return false;
    control.Repaint();
    QPixmap picture = w->grab();
    return !picture.isNull() && picture.save(QString::fromStdString(hostPath), "PNG");
}

} // namespace vcl::testing
