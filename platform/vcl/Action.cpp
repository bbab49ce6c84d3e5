// Actions and the lists that hold them.

#include <vcl/Action.h>
#include <vcl/ActionList.h>

#include <vcl/MenuItem.h>
#include "Internal.h"

#include <algorithm>

namespace vcl {

TAction::TAction(TComponent* owner) : TComponent(owner) {
    if (auto* list = dynamic_cast<TActionList*>(owner))
        SetActionList(list);
}

TAction::~TAction() {
    MarkDestroying();
    const std::vector<TMenuItem*> items = m_items;
    for (TMenuItem* item : items)
        item->SetAction(nullptr);
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* list) {
    if (list == m_list)
        return;
    if (m_list)
        m_list->RemoveAction(this);
    m_list = list;
    if (m_list)
        m_list->AddAction(this);
}

template <class F> void TAction::forItems(F f) {
    const std::vector<TMenuItem*> items = m_items;
    for (TMenuItem* item : items)
        f(item);
}

void TAction::SetCaption(const std::string& caption) {
    m_caption = caption;
    forItems([&](TMenuItem* i) { i->SetCaption(caption); });
}

void TAction::SetEnabled(bool value) {
    m_enabled = value;
    forItems([&](TMenuItem* i) { i->SetEnabled(value); });
}

void TAction::SetVisible(bool value) {
    m_visible = value;
    forItems([&](TMenuItem* i) { i->SetVisible(value); });
}

void TAction::SetShortCut(TShortCut shortCut) {
    m_shortCut = shortCut;
    forItems([&](TMenuItem* i) { i->SetShortCut(shortCut); });
}

void TAction::SetImageIndex(int index) {
    m_imageIndex = index;
    forItems([&](TMenuItem* i) { i->SetImageIndex(index); });
}

bool TAction::Execute() {
    if (!m_enabled || !OnExecute || Destroying())
        return false;
    Fire(OnExecute, this);
    return true;
}

void TAction::Link(TMenuItem* item) {
    if (std::find(m_items.begin(), m_items.end(), item) == m_items.end())
        m_items.push_back(item);
}

void TAction::Unlink(TMenuItem* item) {
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
}

// ---- action list -------------------------------------------------------------------------

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

TActionList::~TActionList() {
    MarkDestroying();
    DestroyComponents();
    const std::vector<TAction*> actions = m_actions;
    for (TAction* a : actions)
        a->SetActionList(nullptr);
}

TAction* TActionList::Actions(int index) const {
    return m_actions[detail::checkedIndex(index, ActionCount())];
}

void TActionList::AddAction(TAction* action) {
    if (std::find(m_actions.begin(), m_actions.end(), action) == m_actions.end())
        m_actions.push_back(action);
}

void TActionList::RemoveAction(TAction* action) {
    m_actions.erase(std::remove(m_actions.begin(), m_actions.end(), action), m_actions.end());
}

} // namespace vcl
