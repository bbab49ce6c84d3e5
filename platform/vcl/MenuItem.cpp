#include <vcl/MenuItem.h>

#include <vcl/Action.h>
#include <vcl/ImageList.h>
#include <vcl/Menu.h>
#include "Internal.h"

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QPixmap>

#include <algorithm>

namespace vcl {

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
    detail::ensureQtApplication();
    // A child of the signal context: it goes, and its signals stop, when destruction begins.
    m_qaction = new QAction(SignalContext());
    QObject::connect(m_qaction, &QAction::triggered, SignalContext(), [this] { Click(); });
}

TMenuItem::~TMenuItem() {
    MarkDestroying(); // takes the action out of every menu
    m_qaction = nullptr;
    if (m_action)
        m_action->Unlink(this);
    if (m_parent)
        m_parent->Remove(this);
    for (TMenuItem* item : m_items)
        item->m_parent = nullptr;
    m_items.clear();
    delete m_popup;
}

void TMenuItem::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (!m_qaction)
        return;
    m_qaction->setSeparator(IsLine());
    m_qaction->setText(detail::toQt(caption));
}

void TMenuItem::applyShortCut() {
    if (!m_qaction)
        return;
    if (m_shortCut == scNone) {
        m_qaction->setShortcut(QKeySequence());
        return;
    }
    int key = detail::qtKey(static_cast<WORD>(m_shortCut & 0xFF));
    if (m_shortCut & scShift)
        key |= Qt::SHIFT;
    if (m_shortCut & scCtrl)
        key |= Qt::CTRL;
    if (m_shortCut & scAlt)
        key |= Qt::ALT;
    m_qaction->setShortcut(QKeySequence(key));
    m_qaction->setShortcutContext(Qt::WindowShortcut);
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    m_shortCut = shortCut;
    applyShortCut();
}

void TMenuItem::SetEnabled(bool value) {
    m_enabled = value;
    if (m_qaction)
        m_qaction->setEnabled(value); // a disabled action's shortcut does nothing
}

void TMenuItem::SetVisible(bool value) {
    m_visible = value;
    if (m_qaction)
        m_qaction->setVisible(value);
}

void TMenuItem::SetChecked(bool value) {
    m_checked = value;
    if (m_qaction) {
        m_qaction->setCheckable(value || m_qaction->isCheckable());
        m_qaction->setChecked(value);
    }
}

void TMenuItem::SetImageIndex(int index) {
    m_imageIndex = index;
    UpdateImage();
}

void TMenuItem::UpdateImage() {
    if (!m_qaction)
        return;
    TMenu* menu = GetParentMenu();
    TImageList* images = menu ? menu->Images() : nullptr;
    const QImage& image = images ? images->Image(m_imageIndex) : QImage();
    m_qaction->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    for (TMenuItem* item : m_items)
        item->UpdateImage();
}

void TMenuItem::SetAction(TAction* action) {
    if (action == m_action)
        return;
    if (m_action)
        m_action->Unlink(this);
    m_action = action;
    if (action) {
        action->Link(this);
        ActionChanged();
    }
}

void TMenuItem::ActionChanged() {
    if (!m_action)
        return;
    SetCaption(m_action->Caption());
    SetEnabled(m_action->Enabled());
    SetVisible(m_action->Visible());
    SetShortCut(m_action->ShortCut());
    SetImageIndex(m_action->ImageIndex());
    m_hint = m_action->Hint();
}

TMenuItem* TMenuItem::Items(int index) const {
    return m_items[detail::checkedIndex(index, Count())];
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this)
        return;
    detail::checkedIndex(index, Count() + 1);
    if (item->m_parent)
        item->m_parent->Remove(item);
    place(item, index);
}

void TMenuItem::place(TMenuItem* item, int index) {
    m_items.insert(m_items.begin() + index, item);
    item->m_parent = this;
    QWidget* container = Container();
    if (container && item->m_qaction) {
        QAction* before = index + 1 < Count() ? m_items[static_cast<std::size_t>(index + 1)]->m_qaction : nullptr;
        container->insertAction(before, item->m_qaction);
    }
    item->UpdateImage();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    item->m_parent = nullptr;
    if (QWidget* container = m_container ? m_container : m_popup; container && item->m_qaction)
        container->removeAction(item->m_qaction);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* top = this;
    while (top->m_parent)
        top = top->m_parent;
    return top->m_menu;
}

void TMenuItem::SetContainer(QWidget* container) {
    m_container = container;
    for (TMenuItem* item : m_items) {
        if (item->m_qaction)
            container->addAction(item->m_qaction);
    }
}

QWidget* TMenuItem::Container() {
    if (m_container)
        return m_container;
    if (!m_popup && !Destroying()) {
        m_popup = new QMenu();
        if (m_qaction)
            m_qaction->setMenu(m_popup);
    }
    return m_popup;
}

void TMenuItem::Click() {
    if (Destroying() || !m_enabled)
        return;
    if (m_action && m_action->OnExecute)
        m_action->Execute();
    else
        Fire(OnClick, this);
}

} // namespace vcl
