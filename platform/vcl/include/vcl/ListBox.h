#pragma once

// A list box: one Windows-1250 text per line, single selection, scrolled by whole lines.
// As the platform's list boxes, it selects nothing when it receives the focus: only a click or
// a navigation key (arrows, Home, End, Page Up/Down) selects a line.

#include <vcl/Strings.h>
#include <vcl/WinControl.h>

#include <memory>

namespace vcl {

class TListBox : public TWinControl {
  public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

    // The lines; changes show at once (Repaint paints them before it returns).
    TStrings& Items();
    const TStrings& Items() const;

    // Index of the first visible line. Setting it scrolls so that line is at the top, or as
    // near as the list allows (the last line never goes above the bottom edge).
    int TopIndex() const;
    void SetTopIndex(int index);
    // Index of the selected line, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool Sorted() const { return m_sorted; }
    // A sorted list keeps its lines in order with letter case ignored.
    void SetSorted(bool sorted);
    // Height of one line in pixels.
    int ItemHeight() const;

    // OnClick (TControl) is raised on every click on a line (also the line already selected)
    // and when a navigation key selects another line.

  protected:
    // Raised whenever the selected line changes, by the user or by code.
    virtual void SelectionChanged() {}
    // The user clicked a line or selected one by key; raises OnClick.
    virtual void ItemClick();
    // True while a mouse press or a key inside the list is being handled (the user selects).
    bool UserSelecting() const;
    void PrepareRepaint() override;
    void ColorChanged() override;

  private:
    class Lines;
    std::unique_ptr<Lines> m_lines;
    bool m_sorted = false;
};

} // namespace vcl
