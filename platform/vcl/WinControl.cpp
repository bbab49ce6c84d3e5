#include <vcl/WinControl.h>

#include <vcl/Application.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>
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

// The control a widget belongs to for mouse input: its own, or that of the scrolled view
// whose viewport it is.
TControl* mouseControl(QObject* watched, QWidget*& base) {
    auto* w = qobject_cast<QWidget*>(watched);
    base = w;
    if (!w)
        return nullptr;
    if (TControl* c = controlOf(w))
        return c;
    if (w->property("vclViewport").toBool() && w->parentWidget()) {
        base = w->parentWidget();
        return controlOf(base);
    }
    return nullptr;
}

TMouseButton mouseButton(Qt::MouseButton b) {
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

TShiftState mouseShift(const QMouseEvent* e) {
    TShiftState s = shiftState(e->modifiers());
    if (e->buttons() & Qt::LeftButton)
        s << ssLeft;
    if (e->buttons() & Qt::RightButton)
        s << ssRight;
    if (e->buttons() & Qt::MiddleButton)
        s << ssMiddle;
    return s;
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
            return shortcut(watched, static_cast<QShortcutEvent*>(event));
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            focus(watched, static_cast<QFocusEvent*>(event));
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            mouse(watched, static_cast<QMouseEvent*>(event));
            return false;
        default:
            return false;
        }
    }

  private:
    // A mnemonic that Qt matched for a control's widget (a button's or check box's caption):
    // the control acts at once through its accelerator hook (Qt would animate a press first).
    static bool shortcut(QObject* watched, QShortcutEvent* event) {
        TControl* c = controlOf(watched);
        if (!c || event->key().isEmpty())
            return false;
        const QKeyCombination combo = event->key()[0];
        const WORD key = virtualKey(combo.key());
        if (!c->Visible() || !c->Enabled())
            return true;
        c->DialogChar(key, shiftState(combo.keyboardModifiers()));
        return true;
    }

    static void focus(QObject* watched, QFocusEvent* event) {
        // Switching windows or opening a menu does not move the focus within the window.
        if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
            return;
        auto* w = dynamic_cast<TWinControl*>(controlOf(watched));
        if (!w || w->Destroying())
            return;
        if (event->type() == QEvent::FocusIn)
            w->DoEnter();
        else
            w->DoExit();
    }

    // The control whose widget lies deepest under a point of the window.
    static TControl* controlAt(QWidget* window, const QPoint& global) {
        QWidget* w = window->childAt(window->mapFromGlobal(global));
        for (; w; w = w->parentWidget()) {
            QWidget* base = nullptr;
            if (TControl* c = mouseControl(w, base))
                return c;
        }
        return controlOf(window);
    }

    static void mouse(QObject* watched, QMouseEvent* event) {
        QWidget* base = nullptr;
        TControl* c = mouseControl(watched, base);
        if (!c || c->Destroying() || !base)
            return;
        const QPoint global = event->globalPosition().toPoint();
        const QPoint p = base->mapFromGlobal(global);
        const TMouseButton button = mouseButton(event->button());
        // Qt hands a press that a widget ignores on to its parents, and a release goes where
        // the press went: each reaches one control only.
        static TControl* pressed = nullptr;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (controlAt(base->window(), global) != c)
                return;
            pressed = c;
            c->MouseDown(button, mouseShift(event) << (button == mbLeft    ? ssLeft
                                                       : button == mbRight ? ssRight
                                                                           : ssMiddle),
                         p.x(), p.y());
            break;
        case QEvent::MouseButtonDblClick:
            if (controlAt(base->window(), global) != c)
                return;
            pressed = c;
            if (button == mbLeft)
                c->MouseDoubleClicked();
            break;
        case QEvent::MouseButtonRelease: {
            if (pressed != c)
                return;
            pressed = nullptr;
            const bool click = button == mbLeft && base->rect().contains(p);
            c->MouseUp(button, mouseShift(event), p.x(), p.y());
            // The handler of MouseUp may have destroyed the control; ask again.
            if (click && controlOf(base) == c)
                c->MouseClicked();
            break;
        }
        default:
            break;
        }
    }

    static bool keyPress(QObject* watched, QKeyEvent* event) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        // Qt hands an unhandled key on to the parents; only its first control acts on it.
        auto* target = dynamic_cast<TWinControl*>(keyTarget(widget->window()));
        if (!target || controlOf(watched) != target)
            return false;
        WORD key = virtualKey(event->key());
        TShiftState shift = shiftState(event->modifiers());
        if (key != 0) {
            bool consumed = false;
            if (TForm* form = target->ParentForm())
                consumed = form->HandleFormKey(target, key, shift);
            else
                consumed = target->DoKeyDown(key, shift) == 0;
            if (consumed)
                return true;
        }
        // The character the key gives, for OnKeyPress (none with Ctrl or Alt held).
        const QString text = event->text();
        if (text.size() != 1 || shift.Contains(ssCtrl) || shift.Contains(ssAlt))
            return false;
        const std::string cp = fromQt(text);
        if (cp.size() != 1)
            return false;
        TForm* form = target->ParentForm();
        char ch = cp[0];
        if (form && form->KeyPreview() && form != target)
            ch = form->DoKeyPress(ch);
        if (ch != 0 && controlOf(watched) == target)
            ch = target->DoKeyPress(ch);
        return ch == 0;
    }
};

} // namespace

QObject* controlEventFilter() {
    static ControlEventFilter* filter = new ControlEventFilter();
    return filter;
}

void watchWidget(QWidget* widget) {
    widget->installEventFilter(controlEventFilter());
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        area->viewport()->setProperty("vclViewport", true);
        area->viewport()->installEventFilter(controlEventFilter());
    }
}

} // namespace detail

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {}

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
    const TRect area = ClientRect();
    int left = area.Left, top = area.Top, right = area.Right, bottom = area.Bottom;
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
    Fire(OnKeyDown, this, k, shift);
    return k;
}

char TWinControl::DoKeyPress(char key) {
    char k = key;
    Fire(OnKeyPress, this, k);
    return k;
}

bool TWinControl::DialogChar(WORD key, TShiftState shift) {
    // A copy: a handler may add or remove controls.
    const std::vector<TControl*> children = m_controls;
    for (TControl* c : children) {
        if (c->Visible() && c->Enabled() && c->DialogChar(key, shift))
            return true;
    }
    return false;
}

bool TWinControl::WantsKey(WORD, TShiftState) const {
    return false;
}

void TWinControl::DoEnter() {
    Fire(OnEnter, this);
}

void TWinControl::DoExit() {
    Fire(OnExit, this);
}

void TWinControl::InsertChildWidget(TControl* child) {
    if (QWidget* w = child->Widget()) {
        w->setParent(ClientWidget());
        w->setVisible(child->Visible());
    }
}

QWidget* TWinControl::ClientWidget() const {
    return Widget();
}

} // namespace vcl
