#pragma once

// VL_NEW32 as a user meets it: a copy of the executable in a folder of its own beside the host
// product's INI file, started on a virtual display with its accessibility tree; what its
// widgets show is read through that tree.

#include <TestSupport.h>
#include <VirtualDisplay.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace new32test {

// Where a test keeps a screenshot for people to look at: screenshots/VL_NEW32/NAME.png in the
// build folder (beside bin/), made when missing.
std::string ScreenshotFile(const std::string& name);

class New32Program {
  public:
    New32Program();
    // The program's folder (host path) and a file in it.
    const std::string& Folder() const { return m_dir.Path(); }
    std::string File(const std::string& name) const { return m_dir.File(name); }
    void Write(const std::string& name, const std::string& bytes) const;

    // Starts the program; false when the display did not come up.
    bool Start();
    pid_t Pid() const { return m_process ? m_process->Pid() : -1; }
    vltest::VirtualDisplay& Display() { return m_display; }
    std::string Log() const { return vltest::ReadFile(m_dir.File("program.log")); }

    // A window of the program by its exact title (UTF-8), "" when none came.
    std::string Window(const std::string& titleUtf8, int timeoutMs = 20000) const;
    // Waits for the program to end.
    bool WaitForEnd(int timeoutMs = 10000);
    bool Running() { return m_process && m_process->Running(); }

    // The accessibility tree now, and the first object with the role whose name (or text)
    // holds `part`; waits up to timeoutMs for it to appear.
    std::vector<vltest::AccessibleNode> Tree() const;
    bool WaitForNode(const std::string& role, const std::string& part,
                     vltest::AccessibleNode* found = nullptr, int timeoutMs = 10000) const;
    // The first object with the role and exactly this name; false when none came in time.
    bool WaitForNamed(const std::string& role, const std::string& name,
                      vltest::AccessibleNode* found = nullptr, int timeoutMs = 10000) const;
    // The object with the role and name now, if any.
    std::optional<vltest::AccessibleNode> Named(const std::string& role, const std::string& name) const;

    // The main window by its title, once its controls are in the accessibility tree (so that
    // keys pressed on it reach them).
    std::string ReadyWindow(const std::string& titleUtf8);
    // The text of the status bar now ("" when none).
    std::string StatusText() const;
    // Waits for the status bar to show exactly `text`.
    bool WaitForStatus(const std::string& text, int timeoutMs = 15000) const;
    // The box titled `titleUtf8` whose label shows `textUtf8`, confirmed with Return, and the
    // box gone afterwards; false (with the tree's labels in *why) when it did not come.
    bool ConfirmBox(const std::string& titleUtf8, const std::string& textUtf8, std::string* why = nullptr,
                    int timeoutMs = 20000);
    // True when no box of the program is open now besides `window`.
    bool OnlyWindow(const std::string& window) const;

  private:
    vltest::TempDir m_dir{"vlnew32inst"};
    vltest::VirtualDisplay m_display;
    std::unique_ptr<vltest::ChildProcess> m_process;
};

} // namespace new32test
