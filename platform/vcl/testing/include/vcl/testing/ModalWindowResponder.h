#pragma once

// Test support: while a responder is installed, `action` runs once for each modal window as
// soon as it is open and active, inside the window's own modal loop, so that the test drives
// the window as a user would and the code that opened it waits as it does for a user:
//
//     vcl::testing::ModalWindowResponder responder([&](vcl::testing::ModalWindow& window) {
//         EXPECT_EQ(window.Caption(), "Select Directory");
//         window.ClickButton("OK");
//     });
//     const char* folder = SelectFolderExt("C:\\Data");
//
// Modal windows are the forms shown by TForm::ShowModal (also those of another copy of the
// toolkit in the process, such as a loaded library's) and modal Qt dialogs (a message box shown
// for real). The window is seen through Qt alone, so it may belong to any such copy. A window
// still open five seconds after the action returned is closed through its close box, so that
// a test fails instead of waiting for ever; LeftOpen() counts those. A window closes once
// control is back in a message loop, so an action that checks it has closed waits for it
// (vcl::testing::WaitFor).

#include <vcl/Types.h>

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;

namespace vcl::testing {

class ModalWindow {
  public:
    explicit ModalWindow(QWidget* window) : m_window(window) {}

    QWidget* Widget() const { return m_window; }
    // The window's title, in Windows-1250.
    std::string Caption() const;
    // A message box's text (Windows-1250); empty for other windows.
    std::string Text() const;
    // True while the window is shown.
    bool Open() const;

    // The push button whose caption is `caption` (Windows-1250, "&" included), or nullptr.
    QAbstractButton* Button(const std::string& caption) const;
    // Clicks that button with the mouse (nothing happens when there is none or it is disabled).
    void ClickButton(const std::string& caption);
    // The child widget of that object name (a control's Name), or nullptr.
    template <class W = QWidget> W* Child(const std::string& name) const {
        return m_window ? m_window->findChild<W*>(QString::fromStdString(name)) : nullptr;
    }
    // The widget that has the window's focus, or nullptr.
    QWidget* FocusWidget() const;

    // Presses and releases `key` (a virtual-key code) on the focused widget of the window.
    void PressKey(WORD key, TShiftState shift = {});
    // Types Windows-1250 text into the focused widget.
    void TypeText(const std::string& text);
    // The window manager's close request (the title bar's close box).
    void ClickCloseBox();
    // Saves a picture of the window as a PNG file; false when it could not be written.
    bool SaveScreenshot(const std::string& hostPath) const;

  private:
    QWidget* m_window;
};

class ModalWindowResponder {
  public:
    explicit ModalWindowResponder(std::function<void(ModalWindow&)> action);
    ~ModalWindowResponder();
    ModalWindowResponder(const ModalWindowResponder&) = delete;
    ModalWindowResponder& operator=(const ModalWindowResponder&) = delete;

    // The captions (Windows-1250) of the modal windows met so far, in order.
    const std::vector<std::string>& Captions() const { return m_captions; }
    int Count() const { return static_cast<int>(m_captions.size()); }
    // How many windows the action left open.
    int LeftOpen() const { return m_leftOpen; }

  private:
    class Watcher;
    void Respond(QWidget* window);

    std::function<void(ModalWindow&)> m_action;
    std::vector<std::string> m_captions;
    int m_leftOpen = 0;
    std::unique_ptr<Watcher> m_watcher;
};

} // namespace vcl::testing
