#pragma once

// A component: has an owner that destroys it and a name. Destroying a component first
// destroys what it owns, the last created first.

#include <vcl/Object.h>

#include <string>
#include <vector>

namespace vcl {

class TComponent : public TObject {
  public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(static_cast<std::size_t>(index)); }

    // True once destruction has begun (no more events are raised then).
    bool Destroying() const { return m_destroying; }

  protected:
    // Destroys the owned components now; derived destructors call it while they are whole.
    void DestroyComponents();
    void MarkDestroying() { m_destroying = true; }

  private:
    void insertComponent(TComponent* c) { m_components.push_back(c); }
    void removeComponent(TComponent* c);

    TComponent* m_owner = nullptr;
    std::string m_name;
    int m_tag = 0;
    bool m_destroying = false;
    std::vector<TComponent*> m_components;
};

} // namespace vcl
