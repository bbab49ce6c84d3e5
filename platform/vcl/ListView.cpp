#include <vcl/ListView.h>

#include <vcl/Application.h>
#include "Internal.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace vcl {

namespace {
QTreeWidget* makeTreeWidget() {
    detail::ensureQtApplication();
    auto* t = new QTreeWidget();
    t->setRootIsDecorated(false);
    t->setItemsExpandable(false);
    t->setUniformRowHeights(true);
    t->setAllColumnsShowFocus(false);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectItems);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setColumnCount(0);
    t->header()->setStretchLastSection(false);
    t->header()->setSectionsMovable(false);
    t->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return t;
}

QTreeWidget* treeOf(const TListView* view) {
    return static_cast<QTreeWidget*>(view->Widget());
}
} // namespace

// ---- columns -----------------------------------------------------------------------------

void TListColumn::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (QTreeWidget* t = treeOf(m_view))
        t->headerItem()->setText(m_index, detail::toQt(caption));
}

int TListColumn::Width() const {
    QTreeWidget* t = treeOf(m_view);
    return t ? t->columnWidth(m_index) : 0;
}

void TListColumn::SetWidth(int width) {
    if (QTreeWidget* t = treeOf(m_view))
        t->setColumnWidth(m_index, width);
}

TListColumn* TListColumns::Add() {
    int index = Count();
    m_columns.push_back(std::make_unique<TListColumn>(m_view, index));
    if (QTreeWidget* t = treeOf(m_view)) {
        t->setColumnCount(index + 1);
        t->headerItem()->setText(index, QString());
        t->setColumnWidth(index, 50);
    }
    return m_columns.back().get();
}

// ---- rows --------------------------------------------------------------------------------

class TListItem::Cells : public TStrings {
  public:
    explicit Cells(TListItem* item) : m_item(item) {}

    int Count() const override { return static_cast<int>(m_texts.size()); }
    std::string Get(int index) const override { return m_texts[detail::checkedIndex(index, Count())]; }
    void Put(int index, const std::string& s) override {
        m_texts[detail::checkedIndex(index, Count())] = s;
        show();
    }
    void Insert(int index, const std::string& s) override {
        m_texts.insert(m_texts.begin() + detail::checkedIndex(index, Count() + 1), s);
        show();
    }
    void Delete(int index) override {
        m_texts.erase(m_texts.begin() + detail::checkedIndex(index, Count()));
        show();
    }
    void Clear() override {
        m_texts.clear();
        show();
    }

  private:
    // Column k + 1 shows sub-item k; columns past the last sub-item are empty.
    void show() {
        QTreeWidgetItem* row = m_item->Row();
        int columns = std::max(row->columnCount(), Count() + 1);
        for (int c = 1; c < columns; ++c)
            row->setText(c, c - 1 < Count() ? detail::toQt(m_texts[static_cast<std::size_t>(c - 1)])
                                            : QString());
    }

    TListItem* m_item;
    std::vector<std::string> m_texts;
};

TListItem::TListItem(TListView* view, QTreeWidgetItem* row)
    : m_view(view), m_row(row), m_subItems(std::make_unique<Cells>(this)) {}

TListItem::~TListItem() = default;

std::string TListItem::Caption() const {
    return detail::fromQt(m_row->text(0));
}
void TListItem::SetCaption(const std::string& caption) {
    m_row->setText(0, detail::toQt(caption));
}
TStrings& TListItem::SubItems() {
    return *m_subItems;
}
const TStrings& TListItem::SubItems() const {
    return *m_subItems;
}

int TListItem::Index() const {
    return m_view->Items().IndexOf(this);
}
bool TListItem::Selected() const {
    return m_row->isSelected();
}

void TListItem::SetSelected(bool value) {
    m_row->setSelected(value);
    if (value)
        treeOf(m_view)->setCurrentItem(m_row);
}

TListItem* TListItems::Add() {
    QTreeWidget* t = treeOf(m_view);
    auto* row = new QTreeWidgetItem(t);
    row->setFlags(m_view->ReadOnly() ? (Qt::ItemIsSelectable | Qt::ItemIsEnabled)
                                     : (Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable));
    m_items.push_back(std::make_unique<TListItem>(m_view, row));
    return m_items.back().get();
}

void TListItems::Delete(int index) {
    QTreeWidgetItem* row = m_items[detail::checkedIndex(index, Count())]->Row();
    m_items.erase(m_items.begin() + index);
    delete row;
}

void TListItems::Clear() {
    m_items.clear();
    if (QTreeWidget* t = treeOf(m_view))
        t->clear();
}

int TListItems::IndexOf(const TListItem* item) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

// ---- the view ----------------------------------------------------------------------------

TListView::TListView(TComponent* owner)
    : TWinControl(owner, makeTreeWidget()), m_columns(this), m_items(this) {
    SetBounds(Left(), Top(), 250, 150);
    SetColor(clWindow);
    QObject::connect(treeOf(this), &QTreeWidget::currentItemChanged, SignalContext(),
                     [this](QTreeWidgetItem*, QTreeWidgetItem*) { RaiseEvent(OnChange, this); });
    QObject::connect(treeOf(this), &QTreeWidget::itemClicked, SignalContext(),
                     [this](QTreeWidgetItem*, int) { RaiseEvent(OnClick, this); });
}

TListView::~TListView() {
    // The rows belong to the widget; the items that wrap them go first.
    m_items = TListItems(this);
}

void TListView::SetViewStyle(TViewStyle style) {
    m_viewStyle = style;
}

bool TListView::RowSelect() const {
    QTreeWidget* t = treeOf(this);
    return t && t->selectionBehavior() == QAbstractItemView::SelectRows;
}

void TListView::SetRowSelect(bool value) {
    if (QTreeWidget* t = treeOf(this)) {
        t->setSelectionBehavior(value ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
        t->setAllColumnsShowFocus(value);
    }
}

bool TListView::ShowColumnHeaders() const {
    QTreeWidget* t = treeOf(this);
    return t && !t->isHeaderHidden();
}

void TListView::SetShowColumnHeaders(bool value) {
    if (QTreeWidget* t = treeOf(this))
        t->setHeaderHidden(!value);
}

TListItem* TListView::Selected() const {
    QTreeWidget* t = treeOf(this);
    if (!t)
        return nullptr;
    QTreeWidgetItem* current = t->currentItem();
    if (!current || !current->isSelected())
        return nullptr;
    for (int i = 0; i < m_items.Count(); ++i) {
        if (m_items[i]->Row() == current)
            return m_items[i];
    }
    return nullptr;
}

int TListView::TopIndex() const {
    QTreeWidget* t = treeOf(this);
    if (!t || t->topLevelItemCount() == 0)
        return 0;
    t->doItemsLayout();
    QModelIndex top = t->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void TListView::ColorChanged() {
    if (Widget())
        detail::setPaletteColor(Widget(), {QPalette::Base}, Color());
}

void TListView::PrepareRepaint() {
    if (QTreeWidget* t = treeOf(this))
        t->doItemsLayout();
}

} // namespace vcl
