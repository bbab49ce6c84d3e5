#pragma once

// A drop-down list to pick one entry from (not editable), on the window colour: what the drive
// and the filter selectors share. Each decides itself what a pick changes and when OnChange
// runs.

#include <vcl/WinControl.h>

#include <string>
#include <vector>

class QComboBox;

namespace vcl {

class TCustomComboBox : public TWinControl {
  public:
    // The entry shown, -1 for none.
    int ItemIndex() const;

    TNotifyEvent OnChange;

  protected:
    explicit TCustomComboBox(TComponent* owner);

    // The user picked entry `index` from the list (also the one already shown).
    virtual void Picked(int index) = 0;

    QComboBox* Box() const;
    // Replaces the entries and shows entry `current` (-1: none), raising nothing.
    void SetEntries(const std::vector<std::string>& texts, int current);
    // Shows entry `index` (-1: none); only a pick of the user calls Picked.
    void ShowEntry(int index);
};

} // namespace vcl
