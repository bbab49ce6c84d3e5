#include <vcl/Component.h>

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (m_owner)
        m_owner->insertComponent(this);
}

TComponent::~TComponent() {
    m_destroying = true;
    DestroyComponents();
    if (m_owner)
        m_owner->removeComponent(this);
}

void TComponent::DestroyComponents() {
    while (!m_components.empty()) {
        TComponent* c = m_components.back();
        c->m_destroying = true;
        c->Free(); // removes itself from m_components
    }
}

void TComponent::removeComponent(TComponent* c) {
    auto it = std::find(m_components.begin(), m_components.end(), c);
    if (it != m_components.end())
        m_components.erase(it);
}

} // namespace vcl
