#pragma once

// A context menu: shown by a right click on the controls that name it (SetPopupMenu), or by
// Popup.

#include <vcl/Menu.h>

#include <vector>

namespace vcl {

class TControl;

class TPopupMenu : public TMenu {
  public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Shows the menu at (x, y) on the screen; returns at once.
    void Popup(int x, int y);
    // The control the menu was last shown for, or nullptr.
    TControl* PopupComponent() const { return m_popupComponent; }

    TNotifyEvent OnPopup;

    // Toolkit internals: the controls that use the menu.
    void AddClient(TControl* control);
    void RemoveClient(TControl* control);
    void PopupFor(TControl* control, int x, int y);

  private:
    std::vector<TControl*> m_clients;
    TControl* m_popupComponent = nullptr;
};

} // namespace vcl
