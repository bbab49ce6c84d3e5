#include <vcl/PageControl.h>

#include <vcl/TabSheet.h>
#include <vcl/Form.h>
#include "Internal.h"

#include <QTabBar>
#include <QTabWidget>

namespace vcl {

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

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner, detail::makeWidget<QTabWidget>()) {
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
    if (auto* tabs = WidgetAs<QTabWidget>()) {
        tabs->setUsesScrollButtons(!value);
        tabs->tabBar()->setExpanding(value);
        tabs->setElideMode(value ? Qt::ElideRight : Qt::ElideNone);
    }
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
