#pragma once

// A component: has an owner that destroys it and a name. Destroying a component first
// destroys what it owns, the last created first.
//
// Every component, visual or not, has a signal context: the receiver of its Qt connections.
// It goes as soon as destruction begins, so no Qt signal reaches a component that is being
// destroyed, whatever the component keeps of Qt.

#include <vcl/Object.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QObject;

namespace vcl {

// Runs an event handler through the application's event wrapper (Application->Dispatch).
bool DispatchEvent(const std::function<void()>& handler);

class TComponent : public TObject {
  public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    virtual void SetName(const std::string& name) { m_name = name; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(static_cast<std::size_t>(index)); }

    // True once destruction has begun (no more events are raised then).
    bool Destroying() const { return m_destroying; }

    // Free marks the component as being destroyed (its connections cut) before it goes.
    void BeforeDestruction() override;

  protected:
    // Destroys the owned components now; derived destructors call it while they are whole.
    void DestroyComponents();
    // Marks destruction begun and cuts every Qt connection made through SignalContext().
    // Derived destructors that take Qt objects apart call it first.
    void MarkDestroying();

    // The receiver for Qt connections (made on first use); nullptr once destruction has begun.
    // Qt objects made children of it go with it.
    QObject* SignalContext() const;

    // Raises `handler` through the application's event wrapper unless destruction has begun.
    template <class Handler, class... Args> void Fire(const Handler& handler, Args&&... args) {
        if (!m_destroying && handler)
            DispatchEvent([&] { handler(std::forward<Args>(args)...); });
    }

  private:
    void insertComponent(TComponent* c) { m_components.push_back(c); }
    void removeComponent(TComponent* c);

    TComponent* m_owner = nullptr;
    std::string m_name;
    int m_tag = 0;
    bool m_destroying = false;
    mutable QObject* m_signals = nullptr;
    std::vector<TComponent*> m_components;
};

} // namespace vcl
