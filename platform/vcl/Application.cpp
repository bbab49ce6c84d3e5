#include <vcl/Application.h>

#include "Internal.h"
#include <vcl/MessageBox.h>

#include <runtime/Exceptions.h>
#include <runtime/MessagePump.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPalette>
#include <QStyleFactory>

#include <cstdlib>

namespace vcl {

namespace {
TApplication g_application;

// The classic Windows scheme, so that windows look as they were designed.
void applyClassicPalette(QApplication& app) {
    QPalette pal = app.palette();
    pal.setColor(QPalette::Window, detail::toQColor(clBtnFace));
    pal.setColor(QPalette::Button, detail::toQColor(clBtnFace));
    pal.setColor(QPalette::Base, detail::toQColor(clWindow));
    pal.setColor(QPalette::WindowText, detail::toQColor(clWindowText));
    pal.setColor(QPalette::Text, detail::toQColor(clWindowText));
    pal.setColor(QPalette::ButtonText, detail::toQColor(clBtnText));
    pal.setColor(QPalette::Highlight, detail::toQColor(clHighlight));
    pal.setColor(QPalette::HighlightedText, detail::toQColor(clHighlightText));
    pal.setColor(QPalette::ToolTipBase, detail::toQColor(clInfoBk));
    pal.setColor(QPalette::ToolTipText, detail::toQColor(clInfoText));
    app.setPalette(pal);
}
} // namespace

TApplication* const Application = &g_application;

bool DispatchEvent(const std::function<void()>& handler) {
    return Application->Dispatch(handler);
}

namespace detail {
void ensureQtApplication() {
    if (!QCoreApplication::instance())
        Application->Initialize();
}
} // namespace detail

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    // Forms still here were never handed to an exit handler (no Run); destroying them now
    // would meet Qt half gone, so they stay to the end of the process.
    m_shutDown = true;
}

void TApplication::shutdown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    MarkDestroying();
    DestroyComponents();
    rtl::SetMessagePump({});
    if (m_ownsQApp)
        delete QCoreApplication::instance();
    m_ownsQApp = false;
}

void TApplication::Initialize(int& argc, char** argv) {
    if (!QCoreApplication::instance()) {
        auto* app = new QApplication(argc, argv);
        m_ownsQApp = true;
        if (QStyle* style = QStyleFactory::create("Fusion"))
            app->setStyle(style);
        applyClassicPalette(*app);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    if (m_title.empty())
        m_title = detail::fromQt(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    rtl::SetMessagePump([this] { ProcessMessages(); });
}

void TApplication::Initialize() {
    static int argc = 1;
    static char name[] = "vl";
    static char* argv[] = {name, nullptr};
    Initialize(argc, argv);
}

bool TApplication::Initialized() const {
    return QCoreApplication::instance() != nullptr;
}

void TApplication::formCreated(TForm* form) {
    form->AfterConstruction();
    if (!m_mainForm)
        m_mainForm = form;
}

void TApplication::Run() {
    if (!Initialized())
        Initialize();
    if (!m_terminated && m_mainForm && !m_mainForm->Visible())
        m_mainForm->Show();
    if (!m_terminated) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    // The forms and the Qt application go at exit, while Qt is still whole: an exit handler
    // registered now runs before the statics Qt has made so far are destroyed (this object,
    // made before main, would come after them).
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit([] { g_application.shutdown(); });
    }
}

void TApplication::ProcessMessages() {
    if (Initialized())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate() {
    m_terminated = true;
    if (m_loop)
        m_loop->quit();
    for (QEventLoop* loop : m_modalLoops)
        loop->quit();
}

void TApplication::ModalLoopStarted(QEventLoop* loop) {
    m_modalLoops.push_back(loop);
}

void TApplication::ModalLoopEnded(QEventLoop* loop) {
    std::erase(m_modalLoops, loop);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return win::MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
}

std::string TApplication::ExceptionText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

void TApplication::ShowException(const std::string& message) {
    MessageBox(ExceptionText(message), m_title, win::MB_OK | win::MB_ICONSTOP);
}

void TApplication::HandleException(TObject* /*sender*/) {
    try {
        throw;
    } catch (const rtl::Exception& e) {
        ShowException(e.Message());
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
}

bool TApplication::Dispatch(const std::function<void()>& handler) {
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(m_dispatchDepth);
    try {
        handler();
        return true;
    } catch (...) {
        try {
            HandleException(nullptr);
        } catch (...) {
            // The dialog itself failed; the loop must go on regardless.
        }
        return false;
    }
}

bool TApplication::HelpContext(int context) {
    bool served = false;
    if (OnHelp)
        Dispatch([&] { served = OnHelp(context); });
    return served;
}

std::uintptr_t TApplication::Handle() const {
    return m_mainForm ? m_mainForm->Handle() : 0;
}

void TApplication::FormActivated(TForm* form) {
    if (m_activeForm == form)
        return;
    TForm* previous = m_activeForm;
    m_activeForm = form;
    if (previous)
        RaiseEvent(previous->OnDeactivate, previous);
    RaiseEvent(form->OnActivate, form);
}

void TApplication::FormDestroyed(TForm* form) {
    if (m_mainForm == form)
        m_mainForm = nullptr;
    if (m_activeForm == form)
        m_activeForm = nullptr;
}

void TApplication::ResetForTesting() {
    DestroyComponents();
    m_mainForm = nullptr;
    m_activeForm = nullptr;
    m_terminated = false;
    if (Initialized()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void TApplication::ShutdownForTesting() {
    ResetForTesting();
    shutdown();
}

} // namespace vcl
