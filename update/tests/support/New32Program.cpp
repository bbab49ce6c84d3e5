#include "New32Program.h"

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

namespace new32test {

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

} // namespace new32test
