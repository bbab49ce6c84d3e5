#pragma once

// One command of a menu, or a submenu when it has items of its own. "&" in the caption marks
// the accelerator, a caption of "-" makes a separator line, ShortCut (such as Ctrl+G) runs the
// item from anywhere in its window while the item is enabled. A linked action supplies the
// caption, shortcut, glyph and handler; the item's own settings made afterwards win.
//
//     Podglad1 = new TMenuItem(this);
//     Podglad1->SetAction(ActionImageView);
//     Podglad1->SetCaption("Pod&gląd"_w);
//     Podglad1->SetShortCut(ShortCut('G', {ssCtrl}));
//     Plik1->Add(Podglad1);

#include <vcl/Component.h>
#include <vcl/Types.h>

#include <string>
#include <vector>

class QAction;
class QWidget;
class QMenu;

namespace vcl {

class TAction;
class TMenu;

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    // True for a separator ("-").
    bool IsLine() const { return m_caption == "-"; }
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut shortCut);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool Checked() const { return m_checked; }
    void SetChecked(bool value);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    // Index into the menu's image list, -1 for none.
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);

    TAction* Action() const { return m_action; }
    void SetAction(TAction* action);

    // The submenu's items.
    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int index) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes an item out of the submenu (it stays alive).
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return m_parent; }
    // The menu the item belongs to, or nullptr.
    TMenu* GetParentMenu() const;

    // Runs the command: the linked action's Execute, else OnClick. A disabled item does nothing.
    virtual void Click();

    TNotifyEvent OnClick;

    // Toolkit internals.
    QAction* QtAction() const { return m_qaction; }
    // The widget the submenu's actions go in: the item's own popup, or the menu bar of a
    // main menu's top item.
    void SetContainer(QWidget* container);
    QWidget* Container();
    void ActionChanged();
    void UpdateImage();
    void SetMenu(TMenu* menu) { m_menu = menu; }

  private:
    void place(TMenuItem* item, int index);
    void applyShortCut();

    std::string m_caption;
    std::string m_hint;
    TShortCut m_shortCut = scNone;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    int m_imageIndex = -1;
    TAction* m_action = nullptr;
    TMenuItem* m_parent = nullptr;
    TMenu* m_menu = nullptr; // set on a menu's top item
    std::vector<TMenuItem*> m_items;
    QAction* m_qaction = nullptr;
    QMenu* m_popup = nullptr;      // made when the first item is added
    QWidget* m_container = nullptr; // set from outside (a menu bar)
};

} // namespace vcl
