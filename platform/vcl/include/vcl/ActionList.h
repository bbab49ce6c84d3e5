#pragma once

// The actions of a window, with the image list their ImageIndex refers to.

#include <vcl/Component.h>

#include <vector>

namespace vcl {

class TAction;
class TImageList;

class TActionList : public TComponent {
  public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(m_actions.size()); }
    TAction* Actions(int index) const;
    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* images) { m_images = images; }

    // Toolkit internals, for TAction::SetActionList.
    void AddAction(TAction* action);
    void RemoveAction(TAction* action);

  private:
    std::vector<TAction*> m_actions;
    TImageList* m_images = nullptr;
};

} // namespace vcl
