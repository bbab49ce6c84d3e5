#pragma once

// A control that holds other controls, takes the keyboard focus and has a platform window.
// It lays out its aligned children in its ClientRect whenever its size or their alignment
// changes.
//
// Keys reach the focused control first (OnKeyDown, then OnKeyPress for a character). What is
// left goes to the form's dialog keys (Enter for the default button, Esc for the cancel
// button, Alt+letter for accelerators) unless the focused control keeps the key for itself
// (WantsKey). An accelerator is offered to every control of the form through DialogChar.

#include <vcl/Control.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace vcl {

// Key-down handler: `Key` is the virtual-key code, passed by reference so that setting it to 0
// consumes the key (the control then does nothing of its own with it).
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Character handler: `Key` is the Windows-1250 character; setting it to 0 consumes it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TWinControl : public TControl {
  public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls.at(static_cast<std::size_t>(index)); }

    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value);
    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int order);

    // The platform window handle (created on first use).
    std::uintptr_t Handle() const;

    void SetBounds(int left, int top, int width, int height) override;

    // Re-runs the layout of the aligned children.
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    // The control got or lost the keyboard focus within its window.
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Raises OnKeyDown through the application's event wrapper; returns the key left over.
    WORD DoKeyDown(WORD key, TShiftState shift);
    // Raises OnKeyPress; returns the character left over (0 when consumed).
    char DoKeyPress(char key);

    // Offers the accelerator to the shown and enabled children, in creation order.
    bool DialogChar(WORD key, TShiftState shift) override;
    // True for the keys the control handles itself while focused, so that the form does not
    // take them as dialog keys (Enter in an edit, Enter in a folder list, Enter on a button).
    virtual bool WantsKey(WORD key, TShiftState shift) const;

    // Toolkit internals: focus changes reported by the event plumbing.
    virtual void DoEnter();
    virtual void DoExit();

  protected:
    TWinControl(TComponent* owner, QWidget* widget);

    // Puts a new child's widget in place and shows it as the child's Visible says: by default
    // a child of ClientWidget(). A container that routes its children (a page control's tab
    // sheets) overrides it.
    virtual void InsertChildWidget(TControl* child);
    // The widget that holds the children's widgets (the origin of their Left/Top).
    virtual QWidget* ClientWidget() const;

  private:
    friend class TControl;
    void insertControl(TControl* c);
    void removeControl(TControl* c);

    std::vector<TControl*> m_controls;
    bool m_tabStop = true;
    int m_tabOrder = -1;
    bool m_aligning = false;
};

} // namespace vcl
