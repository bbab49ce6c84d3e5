#include <vcl/PageControl.h>

#include <vcl/TabSheet.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <vector>

namespace vcl {

namespace {

// A tab bar that, while multi-line, wraps its tabs onto rows as the platform does: rows filled
// left to right, each row stretched to the full width when there are several, and the row of
// the selected tab nearest the page, the others keeping their turn above it. Single-line it
// is Qt's bar as it is.
class RowTabBar : public QTabBar {
  public:
    void setMultiLine(bool value) {
        m_multiLine = value;
        setUsesScrollButtons(!value);
        setExpanding(false);
        setElideMode(Qt::ElideNone);
        updateGeometry();
        update();
    }

    int rowCount() const { return m_multiLine ? rows(availableWidth()).rows : 1; }

    // Where tab `index` is drawn, in the bar's coordinates (empty for a hidden tab).
    QRect rowTabRect(int index) const {
        if (!m_multiLine)
            return tabRect(index);
        const Rows r = rows(availableWidth());
        return index >= 0 && index < static_cast<int>(r.rects.size())
                   ? r.rects[static_cast<std::size_t>(index)]
                   : QRect();
    }

    QSize sizeHint() const override {
        if (!m_multiLine)
            return QTabBar::sizeHint();
        const Rows r = rows(availableWidth());
        return QSize(r.width, r.rows * r.rowHeight);
    }
    QSize minimumSizeHint() const override { return m_multiLine ? sizeHint() : QTabBar::minimumSizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (!m_multiLine) {
            QTabBar::paintEvent(event);
            return;
        }
        const Rows r = rows(availableWidth());
        QStylePainter p(this);
        // The selected tab last, so that it overlaps its neighbours as a front tab does.
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < count(); ++i) {
                if (r.rects[static_cast<std::size_t>(i)].isEmpty() || (i == currentIndex()) != (pass == 1))
                    continue;
                QStyleOptionTab opt;
                initStyleOption(&opt, i);
                opt.rect = r.rects[static_cast<std::size_t>(i)];
                opt.state &= ~QStyle::State_MouseOver; // Qt's hover follows its own single row
                opt.position = r.position[static_cast<std::size_t>(i)];
                opt.selectedPosition = QStyleOptionTab::NotAdjacent;
                p.drawControl(QStyle::CE_TabBarTab, opt);
            }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (!m_multiLine) {
            QTabBar::mousePressEvent(event);
            return;
        }
        if (event->button() != Qt::LeftButton)
            return;
        const Rows r = rows(availableWidth());
        for (int i = 0; i < count(); ++i)
            if (r.rects[static_cast<std::size_t>(i)].contains(event->position().toPoint())) {
                setCurrentIndex(i);
                break;
            }
    }

  private:
    struct Rows {
        std::vector<QRect> rects;
        std::vector<QStyleOptionTab::TabPosition> position;
        int rows = 1;
        int rowHeight = 0;
        int width = 0;
    };

    // The width the rows may take: that of the page control holding the bar.
    int availableWidth() const {
        return std::max(1, parentWidget() ? parentWidget()->width() - 2 * kInset : width());
    }

    Rows rows(int limit) const {
        Rows r;
        const auto n = static_cast<std::size_t>(count());
        r.rects.assign(n, QRect());
        r.position.assign(n, QStyleOptionTab::Middle);
        std::vector<std::vector<int>> lines(1);
        std::vector<int> widths(n, 0);
        int used = 0;
        for (int i = 0; i < count(); ++i) {
            if (!isTabVisible(i))
                continue;
            const QSize hint = tabSizeHint(i);
            widths[static_cast<std::size_t>(i)] = hint.width();
            r.rowHeight = std::max(r.rowHeight, hint.height());
            if (!lines.back().empty() && used + hint.width() > limit) {
                lines.emplace_back();
                used = 0;
            }
            lines.back().push_back(i);
            used += hint.width();
        }
        r.rows = static_cast<int>(lines.size());
        int selectedRow = 0;
        for (std::size_t l = 0; l < lines.size(); ++l)
            if (std::find(lines[l].begin(), lines[l].end(), currentIndex()) != lines[l].end())
                selectedRow = static_cast<int>(l);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const std::vector<int>& line = lines[l];
            if (line.empty())
                continue;
            int natural = 0;
            for (int i : line)
                natural += widths[static_cast<std::size_t>(i)];
            // One row keeps the tabs' own widths; several rows share the width out evenly.
            const int extra = r.rows > 1 ? std::max(0, limit - natural) : 0;
            const int fromBottom = (static_cast<int>(l) - selectedRow + r.rows) % r.rows;
            const int y = (r.rows - 1 - fromBottom) * r.rowHeight;
            int x = 0;
            for (std::size_t k = 0; k < line.size(); ++k) {
                const auto i = static_cast<std::size_t>(line[k]);
                const int share = extra / static_cast<int>(line.size()) +
                                  (static_cast<int>(k) < extra % static_cast<int>(line.size()) ? 1 : 0);
                r.rects[i] = QRect(x, y, widths[i] + share, r.rowHeight);
                x += widths[i] + share;
                r.position[i] = line.size() == 1       ? QStyleOptionTab::OnlyOneTab
                                : k == 0               ? QStyleOptionTab::Beginning
                                : k + 1 == line.size() ? QStyleOptionTab::End
                                                       : QStyleOptionTab::Middle;
            }
            r.width = std::max(r.width, x);
        }
        return r;
    }

    static constexpr int kInset = 2; // the styles start the bar a little in from the edge
    bool m_multiLine = false;
};

// The page control's widget: Qt's tab widget with the row-wrapping bar.
class PageTabWidget : public QTabWidget {
  public:
    PageTabWidget() { setTabBar(new RowTabBar); }
    RowTabBar* rowBar() const { return static_cast<RowTabBar*>(tabBar()); }
};

} // namespace

// ---- sheets ------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner, detail::makeWidget<QWidget>()) {
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
}

TTabSheet::~TTabSheet() {
    // Out of the tab widget first, while the page control can still renumber its tabs.
    SetParent(nullptr);
}

void TTabSheet::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (TPageControl* pc = PageControl())
        pc->PageCaptionChanged(this);
}

TPageControl* TTabSheet::PageControl() const {
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetPageControl(TPageControl* control) {
    SetParent(control);
}

int TTabSheet::PageIndex() const {
    TPageControl* pc = PageControl();
    auto* tabs = pc ? pc->WidgetAs<QTabWidget>() : nullptr;
    return tabs ? tabs->indexOf(Widget()) : -1;
}

void TTabSheet::SetTabVisible(bool value) {
    m_tabVisible = value;
    if (TPageControl* pc = PageControl())
        pc->PageTabVisibleChanged(this);
}

// ---- page control ------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner, detail::makeWidget<PageTabWidget>()) {
    SetBounds(Left(), Top(), 289, 193);
    auto* tabs = WidgetAs<QTabWidget>();
    tabs->setFocusPolicy(Qt::StrongFocus);
    // Only the user's choice of a page is a change; pages added or taken out are not.
    QObject::connect(tabs, &QTabWidget::currentChanged, SignalContext(), [this, tabs](int) {
        const bool structural = tabs->count() != m_pageCount;
        m_pageCount = tabs->count();
        TForm* form = ParentForm();
        if (!m_settingPage && !structural && !(form && form->Destroying()))
            Fire(OnChange, this);
    });
}

void TPageControl::InsertChildWidget(TControl* child) {
    auto* sheet = dynamic_cast<TTabSheet*>(child);
    auto* tabs = WidgetAs<QTabWidget>();
    if (!sheet || !tabs || !sheet->Widget()) {
        TWinControl::InsertChildWidget(child);
        return;
    }
    m_settingPage = true;
    const int index = tabs->addTab(sheet->Widget(), detail::toQt(sheet->Caption()));
    tabs->setTabVisible(index, sheet->TabVisible());
    m_pageCount = tabs->count();
    m_settingPage = false;
}

int TPageControl::PageCount() const {
    auto* tabs = WidgetAs<QTabWidget>();
    return tabs ? tabs->count() : 0;
}

TTabSheet* TPageControl::Pages(int index) const {
    auto* tabs = WidgetAs<QTabWidget>();
    detail::checkedIndex(index, PageCount());
    return dynamic_cast<TTabSheet*>(detail::controlOf(tabs->widget(index)));
}

TTabSheet* TPageControl::ActivePage() const {
    auto* tabs = WidgetAs<QTabWidget>();
    return tabs ? dynamic_cast<TTabSheet*>(detail::controlOf(tabs->currentWidget())) : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    auto* tabs = WidgetAs<QTabWidget>();
    if (!tabs || !page || page->PageControl() != this)
        return;
    m_settingPage = true;
    tabs->setCurrentWidget(page->Widget());
    m_settingPage = false;
}

int TPageControl::ActivePageIndex() const {
    auto* tabs = WidgetAs<QTabWidget>();
    return tabs ? tabs->currentIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    if (index >= 0 && index < PageCount())
        SetActivePage(Pages(index));
}

void TPageControl::SetMultiLine(bool value) {
    m_multiLine = value;
    if (auto* tabs = WidgetAs<PageTabWidget>())
        tabs->rowBar()->setMultiLine(value);
}

int TPageControl::RowCount() const {
    auto* tabs = WidgetAs<PageTabWidget>();
    return tabs ? tabs->rowBar()->rowCount() : 0;
}

TRect TPageControl::TabRect(int index) const {
    auto* tabs = WidgetAs<PageTabWidget>();
    detail::checkedIndex(index, PageCount());
    const QRect r = tabs->rowBar()->rowTabRect(index);
    if (r.isEmpty())
        return TRect{0, 0, 0, 0};
    const QPoint at = tabs->rowBar()->mapTo(tabs, r.topLeft());
    return TRect{at.x(), at.y(), at.x() + r.width(), at.y() + r.height()};
}

TRect TPageControl::ClientRect() const {
    auto* tabs = WidgetAs<QTabWidget>();
    if (!tabs || !tabs->currentWidget())
        return TWinControl::ClientRect();
    QWidget* page = tabs->currentWidget();
    const QPoint at = page->mapTo(tabs, QPoint(0, 0));
    return TRect{at.x(), at.y(), at.x() + page->width(), at.y() + page->height()};
}

void TPageControl::PageCaptionChanged(TTabSheet* page) {
    if (auto* tabs = WidgetAs<QTabWidget>(); tabs && page->Widget())
        tabs->setTabText(tabs->indexOf(page->Widget()), detail::toQt(page->Caption()));
}

void TPageControl::PageTabVisibleChanged(TTabSheet* page) {
    if (auto* tabs = WidgetAs<QTabWidget>(); tabs && page->Widget())
        tabs->setTabVisible(tabs->indexOf(page->Widget()), page->TabVisible());
}

} // namespace vcl
