#pragma once

// The application object (`vcl::Application`): the Qt application behind it, the program's
// forms, the message loop, message boxes and the default error dialog.
//
//     int main(int argc, char** argv) {
//         Application->Initialize(argc, argv);
//         Application->SetTitle("VL_NEW32");
//         Application->CreateForm(Form1);   // TForm1* Form1; the first form is the main one
//         Application->Run();
//     }
//
// Every event the toolkit raises goes through Dispatch: an exception that leaves a handler
// ends that handler only; it is shown by the default error dialog and the loop goes on.

#include <vcl/Component.h>
#include <vcl/Form.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QEventLoop;

namespace vcl {

class TApplication : public TComponent {
  public:
    TApplication();
    ~TApplication() override;

    // Creates the Qt application when there is none (from argc/argv, or a one-word command
    // line) and installs ProcessMessages as the runtime's message pump. Call once, first.
    void Initialize(int& argc, char** argv);
    void Initialize();
    bool Initialized() const;

    // The program's title: the caption of the default error dialog.
    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }

    // Creates a form owned by the application and raises its OnCreate; the first form created
    // becomes the main form.
    template <class T, class... Args> T* CreateForm(T*& reference, Args&&... args) {
        T* form = new T(this, std::forward<Args>(args)...);
        reference = form;
        formCreated(form);
        return form;
    }
    template <class T, class... Args> T* CreateForm(Args&&... args) {
        T* form = new T(this, std::forward<Args>(args)...);
        formCreated(form);
        return form;
    }

    TForm* MainForm() const { return m_mainForm; }
    // The form that was activated last (message boxes do not change it), or nullptr.
    TForm* ActiveForm() const { return m_activeForm; }

    // Shows the main form and runs the message loop until the program is terminated (the
    // main form closed, or Terminate called). Returns at once when Terminate came first.
    // A handler that is still running when the main form closes (it processes messages while
    // it waits) finishes first: Run returns when control is back in its loop.
    void Run();
    // Handles the pending window messages and returns (for waits that must keep windows painted).
    void ProcessMessages();
    // Ends the message loop as soon as the current event has been handled.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    // A message box owned by the application window (Handle()), as win::MessageBoxA shows it.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

    // The default error dialog for the exception being handled (call it inside a catch block).
    void HandleException(TObject* sender);
    // The default error dialog for one message: captioned with Title(), error icon, OK button.
    void ShowException(const std::string& message);
    // The dialog's text for a message: a full stop added when the last byte sorts after ".".
    static std::string ExceptionText(const std::string& message);

    // Asks the help system for topic `context`. OnHelp, when bound, serves it and says whether
    // it did; without it there is no help file the platform could show (its help viewer does
    // not exist on Linux), so nothing opens and the result is false.
    bool HelpContext(int context);
    std::function<bool(int context)> OnHelp;

    // The application window's handle: the main form's platform handle, or 0 before there is one.
    std::uintptr_t Handle() const;

    // Runs one event handler; an exception that leaves it goes to the default error dialog.
    // True when the handler ran to its end.
    bool Dispatch(const std::function<void()>& handler);
    // How many handlers are running, one inside another (0 in the loop itself).
    int DispatchDepth() const { return m_dispatchDepth; }

    // Toolkit internals.
    void FormActivated(TForm* form);
    // The loops of the modal forms that are open, innermost last (Terminate ends them all).
    void ModalLoopStarted(QEventLoop* loop);
    void ModalLoopEnded(QEventLoop* loop);
    void FormDestroyed(TForm* form);
    // Test support: destroys every form and forgets the main form, the active form and a
    // finished loop, so that the next test starts like a new program.
    void ResetForTesting();
    // Test support, at the end of a test program's main (no Run): destroys every form and the
    // Qt application the toolkit made, so that Qt releases its fonts before the leak check.
    void ShutdownForTesting();

  private:
    void formCreated(TForm* form);
    void shutdown();

    std::string m_title;
    TForm* m_mainForm = nullptr;
    TForm* m_activeForm = nullptr;
    bool m_terminated = false;
    bool m_shutDown = false;
    bool m_ownsQApp = false;
    QEventLoop* m_loop = nullptr; // the loop of Run
    std::vector<QEventLoop*> m_modalLoops;
    int m_dispatchDepth = 0;
};

// The program's one application object.
extern TApplication* const Application;

// Raises an event through Application->Dispatch when a handler is bound.
template <class Handler, class... Args> void RaiseEvent(const Handler& handler, Args&&... args) {
    if (handler)
        Application->Dispatch([&] { handler(std::forward<Args>(args)...); });
}

} // namespace vcl
