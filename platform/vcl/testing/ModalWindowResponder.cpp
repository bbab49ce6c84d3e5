#include <vcl/testing/ModalWindowResponder.h>

#include "../Internal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace vcl::testing {

namespace {
constexpr int kCloseWaitMs = 5000;

bool isModalWindow(const QWidget* w) {
    if (!w->isWindow())
        return false;
    if (w->property("vclModal").toBool())
        return true;
    auto* dialog = qobject_cast<const QDialog*>(w);
    return dialog && dialog->isModal();
}
} // namespace

std::string ModalWindow::Caption() const {
    return m_window ? detail::fromQt(m_window->windowTitle()) : std::string();
}

std::string ModalWindow::Text() const {
    auto* box = qobject_cast<QMessageBox*>(m_window);
    return box ? detail::fromQt(box->text()) : std::string();
}

bool ModalWindow::Open() const {
    return m_window && m_window->isVisible();
}

QAbstractButton* ModalWindow::Button(const std::string& caption) const {
    if (!m_window)
        return nullptr;
    const QString text = detail::toQt(caption);
    for (QAbstractButton* b : m_window->findChildren<QAbstractButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

void ModalWindow::ClickButton(const std::string& caption) {
    if (QAbstractButton* b = Button(caption))
        QTest::mouseClick(b, Qt::LeftButton);
}

QWidget* ModalWindow::FocusWidget() const {
    return m_window ? m_window->focusWidget() : nullptr;
}

void ModalWindow::PressKey(WORD key, TShiftState shift) {
    QWidget* target = FocusWidget() ? FocusWidget() : m_window;
    if (target)
        QTest::keyClick(target, static_cast<Qt::Key>(detail::qtKey(key)), detail::qtModifiers(shift));
}

void ModalWindow::TypeText(const std::string& text) {
    QWidget* target = FocusWidget() ? FocusWidget() : m_window;
    if (target)
        QTest::keyClicks(target, detail::toQt(text));
}

void ModalWindow::ClickCloseBox() {
    if (m_window)
        m_window->close();
}

bool ModalWindow::SaveScreenshot(const std::string& hostPath) const {
    if (!m_window)
        return false;
    m_window->repaint();
    QPixmap picture = m_window->grab();
    return !picture.isNull() && picture.save(QString::fromStdString(hostPath), "PNG");
}

// Sees every window that is shown and answers the modal ones from their own loop.
class ModalWindowResponder::Watcher : public QObject {
  public:
    explicit Watcher(ModalWindowResponder* owner) : m_owner(owner) { qApp->installEventFilter(this); }
    ~Watcher() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (isModalWindow(w)) {
                QPointer<QWidget> window(w);
                QTimer::singleShot(0, this, [this, window] {
                    if (window && window->isVisible())
                        m_owner->Respond(window);
                });
            }
        }
        return false;
    }

  private:
    ModalWindowResponder* m_owner;
};

ModalWindowResponder::ModalWindowResponder(std::function<void(ModalWindow&)> action)
    : m_action(std::move(action)), m_watcher(std::make_unique<Watcher>(this)) {}

ModalWindowResponder::~ModalWindowResponder() = default;

void ModalWindowResponder::Respond(QWidget* window) {
    QPointer<QWidget> guard(window);
    // As a user would, the test starts once the window is there to be used.
    (void)QTest::qWaitForWindowExposed(window, 5000);
    if (guard)
        (void)QTest::qWaitForWindowActive(window, 5000);
    if (!guard || !guard->isVisible())
        return;
    ModalWindow modal(window);
    m_captions.push_back(modal.Caption());
    if (m_action)
        m_action(modal);
    // A window closes once control is back in a loop: give it the time a user would wait.
    auto* timer = new QTimer(m_watcher.get());
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, timer, [this, guard, timer, started] {
        if (guard && guard->isVisible()) {
            if (started->elapsed() < kCloseWaitMs)
                return;
            ++m_leftOpen;
            guard->close();
        }
        timer->deleteLater();
    });
    timer->start(10);
}

} // namespace vcl::testing
