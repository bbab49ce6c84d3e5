#pragma once

// A virtual X display (Xvfb) with a window manager (openbox), started in the calling process's
// network namespace, and xdotool to find windows and press keys on them as a user would.

#include <TestSupport.h>

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vlpak32test {

class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False when Xvfb or openbox did not come up (see Why()).
    bool Started() const { return m_started; }
    const std::string& Why() const { return m_why; }
    // ":N", for DISPLAY.
    const std::string& Name() const { return m_name; }

    // The id of a visible window of `pid` whose title is exactly `title`, waiting up to
    // timeoutMs; "" when none came.
    std::string WaitForWindow(pid_t pid, const std::string& title, int timeoutMs) const;
    // Activates the window and presses the key (xdotool key names: "Return", "alt+m").
    bool PressKey(const std::string& window, const std::string& key) const;
    // The window's title (UTF-8), "" when it is gone.
    std::string WindowName(const std::string& window) const;

  private:
    // Runs xdotool with DISPLAY set; gives its exit status and output.
    int xdotool(const std::vector<std::string>& args, std::string* out) const;

    pid_t m_xvfb = -1;
    std::unique_ptr<vltest::ChildProcess> m_wm;
    bool m_started = false;
    std::string m_name;
    std::string m_why;
};

} // namespace vlpak32test
