#pragma once

// Pages with tabs: one TTabSheet in front at a time. With MultiLine the tabs that do not fit
// in the width go onto further rows, the row of the front page nearest the pages; without it
// they stay on one row that scrolls. OnChange runs when the user brings another page to the
// front.

#include <vcl/WinControl.h>

namespace vcl {

class TTabSheet;

class TPageControl : public TWinControl {
  public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const;
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool value);
    // The rows the tabs take (1 unless MultiLine needs more).
    int RowCount() const;
    // Where the tab of page `index` is, in the control's coordinates (empty when hidden).
    TRect TabRect(int index) const;

    // The area of the pages, below the tabs.
    TRect ClientRect() const override;

    TNotifyEvent OnChange;

    // Toolkit internals, for the sheets.
    void PageCaptionChanged(TTabSheet* page);
    void PageTabVisibleChanged(TTabSheet* page);

  protected:
    void InsertChildWidget(TControl* child) override;

  private:
    bool m_multiLine = false;
    bool m_settingPage = false;
    int m_pageCount = 0;
};

} // namespace vcl
