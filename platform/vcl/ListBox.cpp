#include <vcl/ListBox.h>

#include "Internal.h"
#include <vcl/Application.h>

#include <runtime/SysUtils.h>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <string>
#include <vector>

namespace vcl {

namespace detail {

// The platform's list box: receiving the focus selects nothing (Qt would make the first row
// current), and a selection the user makes is told apart from one the program makes.
class ListWidget : public QListWidget {
  public:
    // The user is pressing the mouse or a key inside the list right now.
    bool mouseDown = false;
    bool keyDown = false;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent && selectedItems().isEmpty())
            selectionModel()->clearCurrentIndex();
    }
    void mousePressEvent(QMouseEvent* event) override {
        mouseDown = true;
        QListWidget::mousePressEvent(event);
        mouseDown = false;
    }
    void keyPressEvent(QKeyEvent* event) override {
        keyDown = true;
        QListWidget::keyPressEvent(event);
        keyDown = false;
    }
};

} // namespace detail

namespace {
constexpr int kObjectRole = Qt::UserRole + 1;

QListWidget* makeListWidget() {
    auto* w = detail::makeWidget<detail::ListWidget>();
    w->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    w->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->setUniformItemSizes(true);
    w->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w->setFrameShape(QFrame::Panel);
    w->setFrameShadow(QFrame::Sunken);
    return w;
}
} // namespace

// The lines, kept in the widget itself so that what the user sees is what the program reads.
class TListBox::Lines : public TStrings {
  public:
    explicit Lines(TListBox* box) : m_box(box) {}

    int Count() const override { return list() ? list()->count() : 0; }
    std::string Get(int index) const override {
        detail::checkedIndex(index, Count());
        return detail::fromQt(list()->item(index)->text());
    }
    void Put(int index, const std::string& s) override {
        detail::checkedIndex(index, Count());
        list()->item(index)->setText(detail::toQt(s));
    }
    void Insert(int index, const std::string& s) override {
        detail::checkedIndex(index, Count() + 1);
        list()->insertItem(index, detail::toQt(s));
    }
    void Delete(int index) override {
        detail::checkedIndex(index, Count());
        delete list()->takeItem(index);
    }
    void Clear() override {
        if (!list())
            return;
        // Dropping a selection notifies; Qt's reset of the rows would drop it silently.
        list()->clearSelection();
        list()->clear();
    }
    int Add(const std::string& s) override {
        if (!m_box->Sorted())
            return TStrings::Add(s);
        int existing = -1;
        const int index = SortedAddIndex(s, rtl::TDuplicates::dupAccept, existing);
        Insert(index, s);
        return index;
    }
    void* GetObject(int index) const override {
        detail::checkedIndex(index, Count());
        return list()->item(index)->data(kObjectRole).value<void*>();
    }
    void PutObject(int index, void* object) override {
        detail::checkedIndex(index, Count());
        list()->item(index)->setData(kObjectRole, QVariant::fromValue(object));
    }

  protected:
    void SetUpdateState(bool updating) override {
        if (list())
            list()->setUpdatesEnabled(!updating);
    }

  private:
    QListWidget* list() const { return static_cast<QListWidget*>(m_box->Widget()); }

    TListBox* m_box;
};

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner, makeListWidget()), m_lines(std::make_unique<Lines>(this)) {
    SetColor(clWindow);
    auto* list = static_cast<detail::ListWidget*>(Widget());
    // The selection, not Qt's current row, is the selected line.
    QObject::connect(list, &QListWidget::itemSelectionChanged, SignalContext(), [this, list] {
        const int index = ItemIndex();
        SelectionChanged();
        // A navigation key that selects a line notifies as a click does.
        if (list->keyDown && index >= 0)
            ItemClick();
    });
    // Every click on a line, also on the line already selected.
    QObject::connect(list, &QListWidget::itemClicked, SignalContext(),
                     [this](QListWidgetItem*) { ItemClick(); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, SignalContext(),
                     [this](QListWidgetItem*) { Fire(OnDblClick, this); });
}

bool TListBox::UserSelecting() const {
    auto* list = static_cast<detail::ListWidget*>(Widget());
    return list && (list->mouseDown || list->keyDown);
}

void TListBox::ItemClick() {
    Click();
}

TListBox::~TListBox() = default;

TStrings& TListBox::Items() {
    return *m_lines;
}
const TStrings& TListBox::Items() const {
    return *m_lines;
}

int TListBox::TopIndex() const {
    auto* list = static_cast<QListWidget*>(Widget());
    if (!list || list->count() == 0)
        return 0;
    list->doItemsLayout();
    QModelIndex top = list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : list->verticalScrollBar()->value();
}

void TListBox::SetTopIndex(int index) {
    auto* list = static_cast<QListWidget*>(Widget());
    if (!list || index < 0 || index >= list->count())
        return;
    list->doItemsLayout();
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
}

int TListBox::ItemIndex() const {
    auto* list = static_cast<QListWidget*>(Widget());
    if (!list)
        return -1;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

void TListBox::SetItemIndex(int index) {
    auto* list = static_cast<QListWidget*>(Widget());
    if (!list)
        return;
    if (index >= 0 && index < list->count()) {
        list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    } else {
        list->clearSelection();
        list->selectionModel()->clearCurrentIndex();
    }
}

void TListBox::SetSorted(bool sorted) {
    m_sorted = sorted;
    if (!sorted)
        return;
    TStringList lines;
    lines.Assign(*m_lines);
    lines.SetDuplicates(rtl::TDuplicates::dupAccept);
    lines.SetSorted(true);
    m_lines->BeginUpdate();
    m_lines->Clear();
    for (int i = 0; i < lines.Count(); ++i) {
        m_lines->Insert(i, lines[i]);
        m_lines->PutObject(i, lines.GetObject(i));
    }
    m_lines->EndUpdate();
}

int TListBox::ItemHeight() const {
    auto* list = static_cast<QListWidget*>(Widget());
    if (!list)
        return 0;
    if (list->count() > 0)
        return list->sizeHintForRow(0);
    return list->fontMetrics().height();
}

void TListBox::PrepareRepaint() {
    if (auto* list = static_cast<QListWidget*>(Widget()))
        list->doItemsLayout();
}

void TListBox::ColorChanged() {
    if (Widget())
        detail::setPaletteColor(Widget(), {QPalette::Base, QPalette::Window}, Color());
}

} // namespace vcl
