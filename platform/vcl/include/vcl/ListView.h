#pragma once

// A list view in report style: a header of columns and one row per item, the caption in the
// first column and the sub-items in the next ones. (The icon and list styles are shown as a
// report too; no window uses them yet.)
//
//     LV1->Columns().Add()->SetCaption("Temat"_w);   // then SetWidth(200)
//     TListItem* row = LV1->Items().Add();
//     row->SetCaption(subject);
//     row->SubItems().Add(from);

#include <vcl/ListColumn.h>
#include <vcl/ListItem.h>
#include <vcl/WinControl.h>

#include <memory>
#include <vector>

namespace vcl {

class TListView;

class TListColumns {
  public:
    explicit TListColumns(TListView* view) : m_view(view) {}
    TListColumn* Add();
    int Count() const { return static_cast<int>(m_columns.size()); }
    TListColumn* operator[](int index) const { return m_columns.at(static_cast<std::size_t>(index)).get(); }
    TListColumn* Items(int index) const { return (*this)[index]; }

  private:
    TListView* m_view;
    std::vector<std::unique_ptr<TListColumn>> m_columns;
};

class TListItems {
  public:
    explicit TListItems(TListView* view) : m_view(view) {}
    // Appends an empty row and returns it.
    TListItem* Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    TListItem* operator[](int index) const { return m_items.at(static_cast<std::size_t>(index)).get(); }
    TListItem* Item(int index) const { return (*this)[index]; }
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const;

  private:
    TListView* m_view;
    std::vector<std::unique_ptr<TListItem>> m_items;
};

class TListView : public TWinControl {
  public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    TViewStyle ViewStyle() const { return m_viewStyle; }
    void SetViewStyle(TViewStyle style);
    TListColumns& Columns() { return m_columns; }
    TListItems& Items() { return m_items; }
    const TListItems& Items() const { return m_items; }

    // Read-only: the user cannot edit captions.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }
    // Whole-row selection (otherwise only the caption cell is highlighted).
    bool RowSelect() const;
    void SetRowSelect(bool value);
    bool FlatScrollBars() const { return m_flatScrollBars; }
    void SetFlatScrollBars(bool value) { m_flatScrollBars = value; }
    bool ShowColumnHeaders() const;
    void SetShowColumnHeaders(bool value);

    // The selected row, or nullptr.
    TListItem* Selected() const;
    // Index of the first row in view.
    int TopIndex() const;

    TNotifyEvent OnChange;

  protected:
    void ColorChanged() override;
    void PrepareRepaint() override;

  private:
    TViewStyle m_viewStyle = vsIcon;
    bool m_readOnly = false;
    bool m_flatScrollBars = false;
    TListColumns m_columns;
    TListItems m_items;
};

} // namespace vcl
