#pragma once

// The menu bar of a form (TForm::SetMenu). Alt and an underlined letter open a menu; the
// items' shortcuts work anywhere in the form.

#include <vcl/Menu.h>

class QMenuBar;

namespace vcl {

class TMainMenu : public TMenu {
  public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // Toolkit internals: the bar the form shows.
    QMenuBar* MenuBar() const { return m_bar; }

  private:
    QMenuBar* m_bar;
};

} // namespace vcl
