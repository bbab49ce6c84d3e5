#pragma once

// One column of a report-style list view: header caption and width in pixels.

#include <string>

namespace vcl {

class TListView;

class TListColumn {
  public:
    TListColumn(TListView* view, int index) : m_view(view), m_index(index) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    int Width() const;
    void SetWidth(int width);
    int Index() const { return m_index; }

  private:
    TListView* m_view;
    int m_index;
    std::string m_caption;
};

} // namespace vcl
