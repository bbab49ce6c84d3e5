#pragma once

// One row of a list view: the caption (first column) and the sub-items (the next columns).

#include <vcl/Strings.h>

#include <memory>
#include <string>

class QTreeWidgetItem;

namespace vcl {

class TListView;

class TListItem {
  public:
    TListItem(TListView* view, QTreeWidgetItem* row);
    ~TListItem();

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // The texts of columns 1, 2, ... ; changes show at once.
    TStrings& SubItems();
    const TStrings& SubItems() const;
    int Index() const;
    bool Selected() const;
    void SetSelected(bool value);

    TListView* ListView() const { return m_view; }
    QTreeWidgetItem* Row() const { return m_row; }

  private:
    class Cells;
    TListView* m_view;
    QTreeWidgetItem* m_row;
    std::unique_ptr<Cells> m_subItems;
};

} // namespace vcl
