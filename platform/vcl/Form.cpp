#include <vcl/Form.h>

#include <vcl/Application.h>
#include <vcl/Button.h>
#include <vcl/MainMenu.h>
#include "Internal.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vcl {

namespace {

// The form's window: turns the window system's close request and activation into the form's.
class FormWidget : public QWidget {
  public:
    FormWidget() : QWidget(nullptr, Qt::Window) {}

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (auto* form = dynamic_cast<TForm*>(detail::controlOf(this)))
            form->LayoutMenuBar();
    }

    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (auto* form = dynamic_cast<TForm*>(detail::controlOf(this)))
            form->HandleCloseRequest();
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            // Raised from the loop rather than inside the window system's activation, since the
            // handler may run long and process messages itself.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (auto* form = dynamic_cast<TForm*>(detail::controlOf(this)))
                        form->HandleActivation();
                },
                Qt::QueuedConnection);
        }
        return QWidget::event(event);
    }
};

QWidget* makeFormWidget() {
    detail::ensureQtApplication();
    auto* w = new FormWidget();
    w->setProperty("vclForm", true); // tells TControl that this one is a window of its own
    return w;
}

// A window without a frame has no edge to drag, so it is not held at one size: a window
// manager refuses to maximise a window whose smallest and largest sizes are equal.
bool fixedSize(TFormBorderStyle s) {
    return s == bsSingle || s == bsDialog || s == bsToolWindow;
}

} // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner, makeFormWidget()) {
    SetColor(clBtnFace);
    applyWindowFlags();
}

TForm::~TForm() {
    // Controls go first, while the window they sit in still exists.
    MarkDestroying();
    if (m_menu && m_menu->MenuBar()) {
        // The bar belongs to the menu, which may outlive the window.
        m_menu->MenuBar()->hide();
        m_menu->MenuBar()->setParent(nullptr);
    }
    m_menu = nullptr;
    DestroyComponents();
    Application->FormDestroyed(this);
}

void TForm::BeforeDestruction() {
    if (OnDestroy) {
        TNotifyEvent handler = OnDestroy;
        OnDestroy = nullptr;
        RaiseEvent(handler, this);
    }
}

void TForm::AfterConstruction() {
    if (m_created)
        return;
    m_created = true;
    RaiseEvent(OnCreate, this);
}

void TForm::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (Widget())
        Widget()->setWindowTitle(detail::toQt(caption));
}

void TForm::SetBounds(int left, int top, int width, int height) {
    if (QWidget* w = Widget()) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        TWinControl::SetBounds(left, top, width, height);
        if (fixedSize(m_borderStyle))
            w->setFixedSize(w->size());
    }
}

int TForm::menuHeight() const {
    if (!m_menu || !m_menu->MenuBar() || m_menu->MenuBar()->parentWidget() != Widget())
        return 0;
    return m_menu->MenuBar()->sizeHint().height();
}

int TForm::ClientHeight() const {
    return std::max(0, Height() - menuHeight());
}

void TForm::SetClientHeight(int v) {
    SetHeight(v + menuHeight());
}

QWidget* TForm::ClientWidget() const {
    return m_client ? m_client : Widget();
}

void TForm::SetMenu(TMainMenu* menu) {
    QWidget* w = Widget();
    if (menu == m_menu || !w)
        return;
    const int clientHeight = ClientHeight();
    if (m_menu && m_menu->MenuBar()) {
        m_menu->MenuBar()->hide();
        m_menu->MenuBar()->setParent(nullptr);
    }
    m_menu = menu;
    if (menu && menu->MenuBar()) {
        if (!m_client) {
            // The controls move into a client area of their own below the bar, keeping their
            // places within it.
            m_client = new QWidget(w);
            m_client->setObjectName(QStringLiteral("vclClient"));
            for (int i = 0; i < ControlCount(); ++i) {
                if (QWidget* cw = Controls(i)->Widget()) {
                    const QRect g = cw->geometry();
                    const bool shown = !cw->isHidden();
                    cw->setParent(m_client);
                    cw->setGeometry(g);
                    cw->setVisible(shown);
                }
            }
            m_client->show();
        }
        menu->MenuBar()->setParent(w);
        menu->MenuBar()->show();
    }
    // The client area keeps its size; the window grows by the bar.
    SetClientHeight(clientHeight);
    LayoutMenuBar();
}

void TForm::LayoutMenuBar() {
    QWidget* w = Widget();
    if (!w)
        return;
    const int bar = menuHeight();
    if (bar > 0)
        m_menu->MenuBar()->setGeometry(0, 0, w->width(), bar);
    if (m_client)
        m_client->setGeometry(0, bar, w->width(), std::max(0, w->height() - bar));
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    m_borderStyle = style;
    SetBounds(Left(), Top(), Width(), Height());
    applyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    m_borderIcons = icons;
    applyWindowFlags();
}

void TForm::SetFormStyle(TFormStyle style) {
    m_formStyle = style;
    applyWindowFlags();
}

void TForm::applyWindowFlags() {
    QWidget* w = Widget();
    if (!w)
        return;
    Qt::WindowFlags f = Qt::Window;
    if (m_borderStyle == bsNone) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (m_borderIcons.Contains(biSystemMenu))
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        bool plain = m_borderStyle == bsSingle || m_borderStyle == bsSizeable;
        if (plain && m_borderIcons.Contains(biSystemMenu) && m_borderIcons.Contains(biMinimize))
            f |= Qt::WindowMinimizeButtonHint;
        if (plain && m_borderIcons.Contains(biSystemMenu) && m_borderIcons.Contains(biMaximize))
            f |= Qt::WindowMaximizeButtonHint;
    }
    if (m_formStyle == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() == f)
        return;
    bool shown = w->isVisible();
    w->setWindowFlags(f); // hides the window
    if (shown)
        w->show();
}

TWindowState TForm::WindowState() const {
    if (!Widget() || !Widget()->isVisible())
        return m_pendingState;
    Qt::WindowStates s = Widget()->windowState();
    if (s & Qt::WindowMinimized)
        return wsMinimized;
    if (s & Qt::WindowMaximized)
        return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    m_pendingState = state;
    QWidget* w = Widget();
    if (!w || !w->isVisible())
        return;
    switch (state) {
    case wsNormal:
        w->showNormal();
        break;
    case wsMinimized:
        w->showMinimized();
        break;
    case wsMaximized:
        w->showMaximized();
        break;
    }
}

void TForm::placeOnScreen() {
    if (m_placed)
        return;
    m_placed = true;
    if (m_position != poScreenCenter && m_position != poDesktopCenter && m_position != poMainFormCenter &&
        m_position != poOwnerFormCenter)
        return;
    QRect area;
    TForm* main = Application->MainForm();
    if ((m_position == poMainFormCenter || m_position == poOwnerFormCenter) && main && main != this &&
        main->Widget())
        area = main->Widget()->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    if (area.isEmpty())
        return;
    Widget()->move(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2);
}

void TForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TForm::SetVisible(bool visible) {
    QWidget* w = Widget();
    if (!w)
        return;
    if (visible == w->isVisible()) {
        TControl::SetVisible(visible);
        return;
    }
    if (visible) {
        placeOnScreen();
        TControl::SetVisible(true);
        SetWindowState(m_pendingState);
        RaiseEvent(OnShow, this);
    } else {
        m_pendingState = WindowState();
        TControl::SetVisible(false);
        RaiseEvent(OnHide, this);
    }
}

void TForm::BringToFront() {
    if (QWidget* w = Widget(); w && w->isVisible()) {
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) // it cannot stack windows
            w->raise();
        w->activateWindow();
    }
}

void TForm::Close() {
    HandleCloseRequest();
}

void TForm::HandleCloseRequest() {
    if (m_closing)
        return;
    m_closing = true;
    TCloseAction action = caHide;
    bool ok = true;
    if (OnClose)
        ok = Application->Dispatch([&] { OnClose(this, action); });
    m_closing = false;
    if (!ok || action == caNone)
        return;
    if (Application->MainForm() == this) {
        // The window stays until the program ends, which is once the loop has control again.
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        if (Widget())
            Widget()->showMinimized();
        break;
    case caFree:
        Release();
        break;
    case caNone:
        break;
    }
}

void TForm::Release() {
    Hide();
    if (QWidget* w = Widget())
        QMetaObject::invokeMethod(
            w, [this] { Free(); }, Qt::QueuedConnection);
}

bool TForm::Active() const {
    return Application->ActiveForm() == this;
}

TWinControl* TForm::ActiveControl() const {
    if (!Widget())
        return nullptr;
    for (QWidget* w = Widget()->focusWidget(); w && w != Widget(); w = w->parentWidget()) {
        if (auto* c = dynamic_cast<TWinControl*>(detail::controlOf(w)))
            return c;
    }
    return nullptr;
}

void TForm::HandleActivation() {
    Application->FormActivated(this);
}

bool TForm::HandleFormKey(TWinControl* target, WORD& key, TShiftState shift) {
    if (m_keyPreview && target != this)
        key = DoKeyDown(key, shift);
    if (key != 0)
        key = target->DoKeyDown(key, shift);
    if (key == 0)
        return true;
    if (target->WantsKey(key, shift))
        return false; // the control's own handling goes on
    if (shift == TShiftState{ssAlt} && DialogChar(key, shift))
        return true;
    if (key == VK_RETURN && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && m_defaultButton &&
        m_defaultButton->CanFocus()) {
        m_defaultButton->Click();
        return true;
    }
    if (key == VK_ESCAPE && shift.Empty() && m_cancelButton && m_cancelButton->CanFocus()) {
        m_cancelButton->Click();
        return true;
    }
    return false;
}

void TForm::setDefaultButton(TButton* b, bool on) {
    if (on)
        m_defaultButton = b;
    else if (m_defaultButton == b)
        m_defaultButton = nullptr;
}

void TForm::setCancelButton(TButton* b, bool on) {
    if (on)
        m_cancelButton = b;
    else if (m_cancelButton == b)
        m_cancelButton = nullptr;
}

} // namespace vcl
