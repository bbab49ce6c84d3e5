#include <vcl/Control.h>

#include <vcl/Form.h>
#include "Internal.h"
#include <vcl/WinControl.h>

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace vcl {

namespace detail {
namespace {
class PaintedWidget : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        if (TControl* control = controlOf(this)) {
            QPainter p(this);
            control->Paint(p);
        }
    }
};
} // namespace

QWidget* makePaintedWidget() {
    ensureQtApplication();
    return new PaintedWidget();
}

void setPaletteColor(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, TColor color) {
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : roles)
        pal.setColor(role, toQColor(color));
    widget->setPalette(pal);
}
} // namespace detail

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), m_widget(widget) {
    const bool window = widget->property("vclForm").toBool();
    m_visible = !window;
    m_signals = new QObject();
    detail::bindControl(widget, this);
    QObject::connect(widget, &QObject::destroyed, m_signals, [this] { m_widget = nullptr; });
    m_font.OnChange = [this] {
        if (!m_applyingParentFont)
            m_parentFont = false;
        FontChanged();
    };
    m_widget->setFont(detail::toQFont(m_font));
    // A control made by a form (or panel) sits on it until told otherwise; windows stand alone.
    if (auto* p = dynamic_cast<TWinControl*>(owner); p && !window)
        SetParent(p);
}

TControl::~TControl() {
    if (m_parent)
        m_parent->removeControl(this);
    m_parent = nullptr;
    delete m_signals;
    m_signals = nullptr;
    if (m_widget) {
        detail::bindControl(m_widget, nullptr);
        m_widget->removeEventFilter(detail::controlEventFilter());
        delete m_widget;
        m_widget = nullptr;
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent)
        return;
    if (m_parent)
        m_parent->removeControl(this);
    m_parent = parent;
    if (!m_widget)
        return;
    if (parent) {
        parent->insertControl(this);
        m_widget->setParent(parent->Widget());
        m_widget->setVisible(m_visible);
        if (m_parentFont)
            parentFontChanged(parent->Font());
        if (m_align != alNone)
            parent->Realign();
    } else {
        m_widget->setParent(nullptr);
    }
}

int TControl::Left() const {
    return m_widget ? m_widget->x() : 0;
}
int TControl::Top() const {
    return m_widget ? m_widget->y() : 0;
}
int TControl::Width() const {
    return m_widget ? m_widget->width() : 0;
}
int TControl::Height() const {
    return m_widget ? m_widget->height() : 0;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (!m_widget)
        return;
    m_widget->setGeometry(left, top, std::max(0, width), std::max(0, height));
    if (m_align != alNone && m_parent)
        m_parent->Realign();
}

void TControl::SetAlign(TAlign align) {
    if (align == m_align)
        return;
    m_align = align;
    if (m_parent)
        m_parent->Realign();
}

bool TControl::Showing() const {
    return m_widget && m_widget->isVisible();
}

void TControl::SetVisible(bool visible) {
    m_visible = visible;
    if (m_widget)
        m_widget->setVisible(visible);
    if (m_align != alNone && m_parent)
        m_parent->Realign();
}

void TControl::SetEnabled(bool enabled) {
    m_enabled = enabled;
    if (m_widget)
        m_widget->setEnabled(enabled);
}

void TControl::SetColor(TColor color) {
    m_color = color;
    ColorChanged();
}

void TControl::ColorChanged() {
    if (!m_widget)
        return;
    detail::setPaletteColor(m_widget, {QPalette::Window}, m_color);
    m_widget->setAutoFillBackground(true);
}

void TControl::FontChanged() {
    if (!m_widget)
        return;
    m_widget->setFont(detail::toQFont(m_font));
    detail::setPaletteColor(m_widget, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText},
                            m_font.Color());
}

void TControl::SetParentFont(bool value) {
    m_parentFont = value;
    if (value && m_parent)
        parentFontChanged(m_parent->Font());
}

void TControl::parentFontChanged(const TFont& font) {
    if (!m_parentFont)
        return;
    m_applyingParentFont = true;
    m_font = font; // raises OnChange, which applies it
    m_applyingParentFont = false;
}

void TControl::SetHint(const std::string& hint) {
    m_hint = hint;
    if (m_widget)
        m_widget->setToolTip(m_showHint ? detail::toQt(hint) : QString());
}

void TControl::SetShowHint(bool value) {
    m_showHint = value;
    SetHint(m_hint);
}

void TControl::Repaint() {
    if (!m_widget)
        return;
    prepareRepaintTree();
    m_widget->repaint();
}

void TControl::Paint(QPainter&) const {}

void TControl::Invalidate() {
    if (m_widget)
        m_widget->update();
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::prepareRepaintTree() {
    PrepareRepaint();
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        for (TControl* child : w->m_controls)
            child->prepareRepaintTree();
    }
}

} // namespace vcl
