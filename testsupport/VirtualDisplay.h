#pragma once

// A virtual X display (Xvfb) with a window manager (openbox) and an accessibility bus (a D-Bus
// session with AT-SPI), started in the calling process's network namespace; xdotool finds
// windows and presses keys on them as a user would, and the accessibility tree tells what the
// program's widgets show.

#include <TestSupport.h>

#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vltest {

// One object of a program's accessibility tree.
struct AccessibleNode {
    int depth = 0;    // 0 for the application
    std::string role; // "push button", "label", "text", "check box", "page tab", ...
    bool showing = false;
    std::string name; // UTF-8; Qt leaves the "&" out
    std::string text; // UTF-8, for objects with a text
    // The text's attributes as AT-SPI names them ("family-name", "size", "underline",
    // "bg-color" "r,g,b", ...), empty for objects without a text.
    std::map<std::string, std::string> attributes;
    // Where it is on the screen; all 0 when it tells nothing.
    int x = 0, y = 0, width = 0, height = 0;
    std::string description; // UTF-8: a control's hint
};

// A window's place and size on the screen, its frame left out.
struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

class VirtualDisplay {
  public:
    struct Options {
        // openbox keeps Alt+Esc for itself (lower the window); leave that binding out so that
        // the program under test sees the key.
        bool freeAltEscape = false;
    };

    VirtualDisplay();
    explicit VirtualDisplay(const Options& options);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False when Xvfb or openbox did not come up (see Why()).
    bool Started() const { return m_started; }
    const std::string& Why() const { return m_why; }
    // ":N", for DISPLAY.
    const std::string& Name() const { return m_name; }
    // What a program under test needs to appear here with its accessibility tree: DISPLAY,
    // the session bus, Qt's X11 platform and its accessibility bridge turned on.
    std::vector<std::string> ProgramEnvironment() const;

    // The id of a visible window of `pid` whose title is exactly `title`, waiting up to
    // timeoutMs; "" when none came.
    std::string WaitForWindow(pid_t pid, const std::string& title, int timeoutMs) const;
    // Activates the window and presses the key (xdotool key names: "Return", "alt+m").
    bool PressKey(const std::string& window, const std::string& key) const;
    // Moves the pointer to (x, y) of the window and clicks the left button.
    bool Click(const std::string& window, int x, int y) const;
    // Activates the window and clicks the middle of an object of its accessibility tree.
    bool Click(const std::string& window, const AccessibleNode& node) const;
    // Presses the key on whatever window has the focus, activating none.
    bool PressKeyOnFocus(const std::string& key) const;
    // Moves the pointer to (x, y) of the screen.
    bool MovePointer(int x, int y) const;
    // The window's title (UTF-8), "" when it is gone.
    std::string WindowName(const std::string& window) const;
    // The visible windows of `pid`, in the order xdotool lists them.
    std::vector<std::string> VisibleWindows(pid_t pid) const;
    // Where the window is on the screen and how large; false when it is gone.
    bool Geometry(const std::string& window, WindowGeometry* geometry) const;
    // The value of one property of the window as xprop prints it ("" when it has none).
    std::string Property(const std::string& window, const std::string& name) const;
    // Saves a picture of the window (ImageMagick's import) as a PNG file; "root" takes the
    // whole screen; `withFrame` takes the window manager's frame and title bar in too.
    bool Screenshot(const std::string& window, const std::string& pngFile, bool withFrame = false) const;

    // The accessibility tree of the program `pid` started with ProgramEnvironment(), in
    // depth-first order; empty when it has none (yet).
    std::vector<AccessibleNode> AccessibleTree(pid_t pid) const;

  private:
    // Makes the window the active one; false when the window manager did not.
    bool activate(const std::string& window) const;
    // Runs xdotool with DISPLAY set; gives its exit status and output.
    int xdotool(const std::vector<std::string>& args, std::string* out) const;

    pid_t m_xvfb = -1;
    int m_displayLock = -1; // holds the display number for this display alone
    std::unique_ptr<ChildProcess> m_wm;
    std::unique_ptr<ChildProcess> m_bus;
    std::unique_ptr<ChildProcess> m_atspi;
    bool m_started = false;
    std::string m_name;
    std::string m_busAddress;
    std::string m_busFolder;
    std::string m_wmFolder;
    std::string m_why;
};

} // namespace vltest
