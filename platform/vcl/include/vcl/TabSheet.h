#pragma once

// One page of a page control: a container with a caption shown on its tab. It sits in the
// page control given by SetPageControl (or by SetParent with the page control).

#include <vcl/WinControl.h>

#include <string>

namespace vcl {

class TPageControl;

class TTabSheet : public TWinControl {
  public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    TPageControl* PageControl() const;
    void SetPageControl(TPageControl* control);
    // Position among the page control's pages, -1 outside one.
    int PageIndex() const;
    // Whether the tab shows (a hidden page keeps its place among the pages).
    bool TabVisible() const { return m_tabVisible; }
    void SetTabVisible(bool value);

  private:
    std::string m_caption;
    bool m_tabVisible = true;
};

} // namespace vcl
