#include <vcl/WinControl.h>

#include <vcl/Application.h>
#include <vcl/Button.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace vcl {

namespace detail {
namespace {

// The control that a key pressed now goes to first: the one backing the focus widget of the
// window (or one of its parents), else the window's own control.
TControl* keyTarget(QWidget* window) {
    for (QWidget* w = window->focusWidget(); w; w = w->parentWidget()) {
        if (TControl* c = controlOf(w))
            return c;
        if (w->isWindow())
            break;
    }
    return controlOf(window);
}

class ControlEventFilter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            return keyPress(watched, static_cast<QKeyEvent*>(event));
        case QEvent::Resize:
            if (auto* w = dynamic_cast<TWinControl*>(controlOf(watched)))
                w->Realign();
            return false;
        case QEvent::Shortcut:
            // A mnemonic presses the button at once (Qt would animate the press first).
            if (auto* b = dynamic_cast<TButton*>(controlOf(watched))) {
                if (b->Visible() && b->Enabled()) {
                    b->SetFocus();
                    b->Click();
                }
                return true;
            }
            return false;
        default:
            return false;
        }
    }

  private:
    static bool keyPress(QObject* watched, QKeyEvent* event) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        // Qt hands an unhandled key on to the parents; only its first control acts on it.
        auto* target = dynamic_cast<TWinControl*>(keyTarget(widget->window()));
        if (!target || controlOf(watched) != target)
            return false;
        WORD key = virtualKey(event->key());
        if (key == 0)
            return false;
        TShiftState shift = shiftState(event->modifiers());
        if (TForm* form = target->ParentForm())
            return form->HandleFormKey(target, key, shift);
        return target->DoKeyDown(key, shift) == 0;
    }
};

} // namespace

QObject* controlEventFilter() {
    static ControlEventFilter* filter = new ControlEventFilter();
    return filter;
}

} // namespace detail

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {
    widget->installEventFilter(detail::controlEventFilter());
}

TWinControl::~TWinControl() {
    // The children's widgets go with ours; they must not reach back to us.
    for (TControl* c : m_controls)
        c->m_parent = nullptr;
    m_controls.clear();
}

void TWinControl::insertControl(TControl* c) {
    m_controls.push_back(c);
}

void TWinControl::removeControl(TControl* c) {
    auto it = std::find(m_controls.begin(), m_controls.end(), c);
    if (it == m_controls.end())
        return;
    m_controls.erase(it);
    if (!Destroying() && c->Align() != alNone)
        Realign();
}

void TWinControl::SetFocus() {
    if (Widget())
        Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    return Widget() && Widget()->window()->focusWidget() == Widget();
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled())
            return false;
    }
    return true;
}

void TWinControl::SetTabStop(bool value) {
    m_tabStop = value;
    if (Widget() && Widget()->focusPolicy() != Qt::NoFocus)
        Widget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

void TWinControl::SetTabOrder(int order) {
    m_tabOrder = order;
    TWinControl* parent = Parent();
    if (!parent)
        return;
    std::vector<TWinControl*> chain;
    for (TControl* c : parent->m_controls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->m_tabOrder >= 0)
            chain.push_back(w);
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](TWinControl* a, TWinControl* b) { return a->m_tabOrder < b->m_tabOrder; });
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1]->Widget(), chain[i]->Widget());
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    // A hidden window gets its resize event only when shown; its children are placed now.
    Realign();
}

std::uintptr_t TWinControl::Handle() const {
    return Widget() ? static_cast<std::uintptr_t>(Widget()->winId()) : 0;
}

void TWinControl::Realign() {
    if (m_aligning || !Widget())
        return;
    m_aligning = true;
    int left = 0, top = 0, right = ClientWidth(), bottom = ClientHeight();
    auto place = [](TControl* c, int l, int t, int w, int h) {
        if (QWidget* cw = c->Widget())
            cw->setGeometry(l, t, std::max(0, w), std::max(0, h));
    };
    // Creation order decides among controls of one alignment: the first sits at the edge.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : m_controls) {
            if (c->Align() != a || !c->Visible())
                continue;
            switch (a) {
            case alTop:
                place(c, left, top, right - left, c->Height());
                top += c->Height();
                break;
            case alBottom:
                bottom -= c->Height();
                place(c, left, bottom, right - left, c->Height());
                break;
            case alLeft:
                place(c, left, top, c->Width(), bottom - top);
                left += c->Width();
                break;
            case alRight:
                right -= c->Width();
                place(c, right, top, c->Width(), bottom - top);
                break;
            case alClient:
                place(c, left, top, right - left, bottom - top);
                break;
            case alNone:
                break;
            }
        }
    }
    m_aligning = false;
    for (TControl* c : m_controls) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w && c->Align() != alNone)
            w->Realign();
    }
}

WORD TWinControl::DoKeyDown(WORD key, TShiftState shift) {
    WORD k = key;
    if (OnKeyDown)
        Application->Dispatch([&] { OnKeyDown(this, k, shift); });
    return k;
}

} // namespace vcl
