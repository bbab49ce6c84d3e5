#pragma once

// A control that holds other controls, takes the keyboard focus and has a platform window.
// It lays out its aligned children whenever its size or their alignment changes.

#include <vcl/Control.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace vcl {

// Key-down handler: `Key` is the virtual-key code, passed by reference so that setting it to 0
// consumes the key (the control then does nothing of its own with it).
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

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

    // Raises OnKeyDown through the application's event wrapper; returns the key left over.
    WORD DoKeyDown(WORD key, TShiftState shift);

  protected:
    TWinControl(TComponent* owner, QWidget* widget);

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
