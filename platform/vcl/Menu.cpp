// Menus: what main and popup menus share, the menu bar and the context menu.

#include <vcl/MainMenu.h>
#include <vcl/Menu.h>
#include <vcl/MenuItem.h>
#include <vcl/PopupMenu.h>

#include <vcl/Form.h>
#include "Internal.h"

#include <QCursor>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace vcl {

TMenu::TMenu(TComponent* owner) : TComponent(owner), m_items(new TMenuItem(this)) {
    m_items->SetMenu(this);
}

TMenu::~TMenu() {
    MarkDestroying();
    DestroyComponents(); // the items, while the menu is whole
}

void TMenu::SetImages(TImageList* images) {
    m_images = images;
    m_items->UpdateImage();
}

// ---- main menu ---------------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {
    detail::ensureQtApplication();
    m_bar = new QMenuBar();
    m_bar->setNativeMenuBar(false);
    m_bar->hide();
    Items()->SetContainer(m_bar);
}

TMainMenu::~TMainMenu() {
    MarkDestroying();
    if (auto* form = dynamic_cast<TForm*>(detail::controlOf(m_bar->parentWidget())); form && form->Menu() == this)
        form->SetMenu(nullptr);
    DestroyComponents();
    delete m_bar; // a form showing it sees it go (it holds it by a guarded pointer)
}

// ---- popup menu --------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() {
    const std::vector<TControl*> clients = m_clients;
    for (TControl* c : clients)
        c->SetPopupMenu(nullptr);
}

void TPopupMenu::AddClient(TControl* control) {
    if (std::find(m_clients.begin(), m_clients.end(), control) == m_clients.end())
        m_clients.push_back(control);
}

void TPopupMenu::RemoveClient(TControl* control) {
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), control), m_clients.end());
    if (m_popupComponent == control)
        m_popupComponent = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    Fire(OnPopup, this);
    if (Destroying())
        return;
    if (auto* menu = qobject_cast<QMenu*>(Items()->Container()))
        menu->popup(QPoint(x, y));
}

void TPopupMenu::PopupFor(TControl* control, int x, int y) {
    m_popupComponent = control;
    Popup(x, y);
}

} // namespace vcl
