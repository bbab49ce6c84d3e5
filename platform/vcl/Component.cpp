#include <vcl/Component.h>

#include <QObject>

#include <algorithm>

namespace vcl {

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (m_owner)
        m_owner->insertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    DestroyComponents();
    if (m_owner)
        m_owner->removeComponent(this);
}

void TComponent::BeforeDestruction() {
    MarkDestroying();
}

void TComponent::MarkDestroying() {
    m_destroying = true;
    delete m_signals; // cuts its connections first, then takes its Qt children along
    m_signals = nullptr;
}

QObject* TComponent::SignalContext() const {
    if (!m_signals && !m_destroying)
        m_signals = new QObject();
    return m_signals;
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
