#include <vcl/Control.h>

#include <vcl/Form.h>
#include <vcl/PopupMenu.h>
#include "Internal.h"
#include <vcl/WinControl.h>

#include <runtime/SysUtils.h>

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

Qt::CursorShape qtCursor(TCursor cursor) {
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crNo:
        return Qt::ForbiddenCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

char accelChar(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return rtl::AnsiUpperChar(caption[i + 1]);
        ++i; // "&&" is a plain "&"
    }
    return 0;
}

bool isAccel(WORD key, TShiftState shift, const std::string& caption) {
    if (shift != TShiftState{ssAlt} || key == 0 || key > 0x7F)
        return false;
    const char c = accelChar(caption);
    return c != 0 && static_cast<unsigned char>(c) == key;
}
} // namespace detail

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), m_widget(widget) {
    const bool window = widget->property("vclForm").toBool();
    m_visible = !window;
    detail::bindControl(widget, this);
    detail::watchWidget(widget);
    QObject::connect(widget, &QObject::destroyed, SignalContext(), [this] { m_widget = nullptr; });
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
    MarkDestroying();
    if (m_popupMenu)
        m_popupMenu->RemoveClient(this);
    if (m_parent)
        m_parent->removeControl(this);
    m_parent = nullptr;
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
        parent->InsertChildWidget(this);
        if (m_parentFont)
            parentFontChanged(parent->Font());
        if (m_parentShowHint)
            UpdateHint();
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
    if (m_widget->isWindow()) {
        // A window's Left/Top are its outer corner, frame included, as x()/y() read them back;
        // its size is that inside the frame.
        m_widget->resize(std::max(0, width), std::max(0, height));
        m_widget->move(left, top);
    } else {
        m_widget->setGeometry(left, top, std::max(0, width), std::max(0, height));
    }
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

void TControl::SetName(const std::string& name) {
    TComponent::SetName(name);
    if (m_widget)
        m_widget->setObjectName(detail::toQt(name));
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
    UpdateHint();
}

bool TControl::ShowHint() const {
    const TControl* c = this;
    while (c->m_parentShowHint && c->m_parent)
        c = c->m_parent;
    return c->m_parentShowHint ? false : c->m_showHint;
}

void TControl::SetShowHint(bool value) {
    m_showHint = value;
    m_parentShowHint = false;
    UpdateHint();
}

void TControl::SetParentShowHint(bool value) {
    m_parentShowHint = value;
    UpdateHint();
}

void TControl::UpdateHint() {
    if (m_widget)
        m_widget->setToolTip(ShowHint() ? detail::toQt(m_hint) : QString());
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        for (TControl* child : w->m_controls) {
            if (child->m_parentShowHint)
                child->UpdateHint();
        }
    }
}

void TControl::SetCursor(TCursor cursor) {
    m_cursor = cursor;
    if (!m_widget)
        return;
    if (cursor == crDefault)
        m_widget->unsetCursor();
    else
        m_widget->setCursor(detail::qtCursor(cursor));
}

bool TControl::DialogChar(WORD, TShiftState) {
    return false;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (m_popupMenu)
        m_popupMenu->RemoveClient(this);
    m_popupMenu = menu;
    if (!m_widget)
        return;
    // Connections go through a context of their own, made again with each menu.
    delete m_widget->findChild<QObject*>(QStringLiteral("vclPopupLink"), Qt::FindDirectChildrenOnly);
    if (!menu) {
        m_widget->setContextMenuPolicy(Qt::DefaultContextMenu);
        return;
    }
    menu->AddClient(this);
    m_widget->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* link = new QObject(m_widget);
    link->setObjectName(QStringLiteral("vclPopupLink"));
    QObject::connect(m_widget, &QWidget::customContextMenuRequested, link, [this](const QPoint& at) {
        if (m_popupMenu && !Destroying() && m_widget) {
            const QPoint global = m_widget->mapToGlobal(at);
            m_popupMenu->PopupFor(this, global.x(), global.y());
        }
    });
}

void TControl::Click() {
    Fire(OnClick, this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Fire(OnMouseDown, this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    Fire(OnMouseUp, this, button, shift, x, y);
}

void TControl::MouseClicked() {
    if (m_clickEvents && m_enabled)
        Click();
}

void TControl::MouseDoubleClicked() {
    if (m_clickEvents && m_enabled)
        Fire(OnDblClick, this);
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
