#include "New32Program.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

namespace new32test {

std::string ScreenshotFile(const std::string& name) {
    const char* bin = std::getenv("VL_BIN_DIR");
    const std::filesystem::path folder =
        std::filesystem::path(bin ? bin : ".") / ".." / "screenshots" / "VL_NEW32";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return (folder / (name + ".png")).lexically_normal().string();
}

New32Program::New32Program() {
    const char* bin = std::getenv("VL_BIN_DIR");
    std::filesystem::copy_file(std::filesystem::path(bin ? bin : "") / "VL_NEW32", m_dir.File("VL_NEW32"));
    ::chmod(m_dir.File("VL_NEW32").c_str(), 0755);
}

void New32Program::Write(const std::string& name, const std::string& bytes) const {
    vltest::WriteFile(m_dir.File(name), bytes);
}

bool New32Program::Start() {
    if (!m_display.Started())
        return false;
    m_process =
        std::make_unique<vltest::ChildProcess>(std::vector<std::string>{m_dir.File("VL_NEW32")},
                                               m_dir.File("program.log"), m_display.ProgramEnvironment());
    return true;
}

std::string New32Program::Window(const std::string& title, int timeoutMs) const {
    return m_display.WaitForWindow(m_process->Pid(), title, timeoutMs);
}

bool New32Program::WaitForEnd(int timeoutMs) {
    return vltest::WaitUntil([&] { return !m_process->Running(); }, timeoutMs, 50);
}

std::vector<vltest::AccessibleNode> New32Program::Tree() const {
    return m_display.AccessibleTree(m_process->Pid());
}

bool New32Program::WaitForNode(const std::string& role, const std::string& part,
                               vltest::AccessibleNode* found, int timeoutMs) const {
    return vltest::WaitUntil(
        [&] {
            for (const auto& n : Tree()) {
                if (n.role == role &&
                    (n.name.find(part) != std::string::npos || n.text.find(part) != std::string::npos)) {
                    if (found)
                        *found = n;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 200);
}

bool New32Program::WaitForNamed(const std::string& role, const std::string& name,
                                vltest::AccessibleNode* found, int timeoutMs) const {
    return vltest::WaitUntil(
        [&] {
            auto n = Named(role, name);
            if (n && found)
                *found = *n;
            return n.has_value();
        },
        timeoutMs, 200);
}

std::optional<vltest::AccessibleNode> New32Program::Named(const std::string& role,
                                                          const std::string& name) const {
    for (auto& n : Tree())
        if (n.role == role && n.name == name)
            return n;
    return std::nullopt;
}

std::string New32Program::ReadyWindow(const std::string& title) {
    const std::string w = Window(title);
    if (w.empty())
        return w;
    vltest::AccessibleNode node;
    // The speed button of the check shows once the window's controls are all there.
    if (!WaitForNamed("push button", "Sprawdź", &node) || !vltest::WaitUntil(
                                                              [&] {
                                                                  auto n = Named("push button", "Sprawdź");
                                                                  return n && n->showing;
                                                              },
                                                              10000, 100))
        return "";
    return w;
}

std::string New32Program::StatusText() const {
    for (const auto& n : Tree())
        if (n.role == "status bar")
            return n.name;
    return "";
}

bool New32Program::WaitForStatus(const std::string& text, int timeoutMs) const {
    return vltest::WaitUntil([&] { return StatusText() == text; }, timeoutMs, 100);
}

bool New32Program::ConfirmBox(const std::string& title, const std::string& text, std::string* why,
                              int timeoutMs) {
    std::string box;
    const bool came = vltest::WaitUntil(
        [&] {
            for (const auto& id : m_display.VisibleWindows(m_process->Pid()))
                if (m_display.WindowName(id) == title) {
                    box = id;
                    return true;
                }
            return false;
        },
        timeoutMs, 100);
    if (!came) {
        if (why)
            *why = "no box titled " + title;
        return false;
    }
    if (!WaitForNamed("label", text, nullptr, 10000)) {
        if (why) {
            *why = "labels:";
            for (const auto& n : Tree())
                if (n.role == "label" && n.showing)
                    *why += " [" + n.name + "]";
        }
        return false;
    }
    if (!m_display.PressKey(box, "Return"))
        return false;
    return vltest::WaitUntil(
        [&] {
            const auto ids = m_display.VisibleWindows(m_process->Pid());
            return std::find(ids.begin(), ids.end(), box) == ids.end();
        },
        10000, 50);
}

bool New32Program::OnlyWindow(const std::string& window) const {
    const auto ids = m_display.VisibleWindows(m_process->Pid());
    return ids.size() == 1 && ids.front() == window;
}

} // namespace new32test
