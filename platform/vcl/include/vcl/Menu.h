#pragma once

// What main and popup menus share: the top item holding the menu's items, and the image list
// that the items' ImageIndex refers to.

#include <vcl/Component.h>

namespace vcl {

class TImageList;
class TMenuItem;

class TMenu : public TComponent {
  public:
    ~TMenu() override;

    TMenuItem* Items() const { return m_items; }
    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* images);

  protected:
    explicit TMenu(TComponent* owner);

  private:
    TMenuItem* m_items;
    TImageList* m_images = nullptr;
};

} // namespace vcl
