#include "Pic32Program.h"

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <sys/stat.h>

namespace pic32test {

namespace {

constexpr const char* kStartCaption = "VELT: ...";

} // namespace

std::string ScreenshotFolder() {
    const char* bin = std::getenv("VL_BIN_DIR");
    const std::filesystem::path folder = std::filesystem::path(bin ? bin : ".") / ".." / "screenshots" / "VL_PIC32";
    std::filesystem::create_directories(folder);
    return std::filesystem::weakly_canonical(folder).string();
}

Pic32Program::Pic32Program(const vltest::VirtualDisplay::Options& options) : m_display(options) {
    const char* bin = std::getenv("VL_BIN_DIR");
    std::filesystem::copy_file(std::filesystem::path(bin ? bin : "") / "VL_PIC32", m_dir.File("VL_PIC32"));
    ::chmod(m_dir.File("VL_PIC32").c_str(), 0755);
}

Pic32Program::~Pic32Program() {
    m_process.reset();
}

void Pic32Program::MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(m_dir.File(name));
}

void Pic32Program::Write(const std::string& name, const std::string& bytes) const {
    vltest::WriteFile(m_dir.File(name), bytes);
}

void Pic32Program::Picture(const std::string& name, const std::string& arguments) const {
    const std::string command = "convert " + arguments + " '" + m_dir.File(name) + "'";
    if (std::system(command.c_str()) != 0 || !vltest::PathExists(m_dir.File(name)))
        throw std::runtime_error("ImageMagick did not write " + name);
}

bool Pic32Program::Start() {
    if (!m_display.Started())
        return false;
    std::vector<std::string> env = m_display.ProgramEnvironment();
    env.insert(env.end(), {"VL_REGISTRY=" + m_home.File("registry"), "XDG_CONFIG_HOME=" + m_home.File("config"),
                           "GSETTINGS_BACKEND=keyfile", "XDG_CURRENT_DESKTOP=GNOME", "HOME=" + m_home.Path()});
    // The pointer starts in the middle of the screen, over the file list, whose tooltip would
    // show as a window of its own.
    m_display.MovePointer(0, 0);
    m_process =
        std::make_unique<vltest::ChildProcess>(std::vector<std::string>{m_dir.File("VL_PIC32")}, LogFile(), env);
    m_main = m_display.WaitForWindow(m_process->Pid(), kStartCaption, 30000);
    return !m_main.empty();
}

std::string Pic32Program::Caption() const {
    return m_display.WindowName(m_main);
}

bool Pic32Program::WaitForCaption(const std::string& caption, int timeoutMs) const {
    return vltest::WaitUntil([&] { return Caption() == caption; }, timeoutMs, 50);
}

bool Pic32Program::Press(const std::vector<std::string>& keys) const {
    for (const std::string& key : keys)
        if (!m_display.PressKey(m_main, key))
            return false;
    return true;
}

bool Pic32Program::ChooseFromMenu(const std::string& open, const std::string& item) const {
    if (!Press({open}))
        return false;
    // The menu holds the keyboard; activating a window now would close it.
    if (!vltest::WaitUntil([&] { return m_display.VisibleWindows(Pid()).size() > 1; }, 10000, 50))
        return false;
    return m_display.PressKeyOnFocus(item);
}

std::string Pic32Program::WaitForPreview(int timeoutMs) const {
    std::string found;
    vltest::WaitUntil(
        [&] {
            const std::string caption = Caption();
            for (const std::string& id : m_display.VisibleWindows(Pid()))
                if (id != m_main && m_display.WindowName(id) == caption) {
                    found = id;
                    return true;
                }
            return false;
        },
        timeoutMs, 50);
    return found;
}

bool Pic32Program::WaitForWindowGone(const std::string& window, int timeoutMs) const {
    return vltest::WaitUntil(
        [&] {
            const std::vector<std::string> shown = m_display.VisibleWindows(Pid());
            return std::find(shown.begin(), shown.end(), window) == shown.end();
        },
        timeoutMs, 50);
}

bool Pic32Program::WaitForOnlyMainWindow(int timeoutMs) const {
    return vltest::WaitUntil(
        [&] {
            const std::vector<std::string> shown = m_display.VisibleWindows(Pid());
            return shown.size() == 1 && shown[0] == m_main;
        },
        timeoutMs, 50);
}

int Pic32Program::ShowingWindows() const {
    const std::vector<vltest::AccessibleNode> tree = m_display.AccessibleTree(Pid());
    if (tree.empty())
        return -1;
    int showing = 0;
    for (const vltest::AccessibleNode& node : tree)
        if (node.depth == 1 && node.showing)
            ++showing;
    return showing;
}

std::string Pic32Program::WaitForBox(const std::string& title, int timeoutMs) const {
    return m_display.WaitForWindow(Pid(), title, timeoutMs);
}

bool Pic32Program::WaitForLabel(const std::string& text, int timeoutMs) const {
    return vltest::WaitUntil(
        [&] {
            for (const vltest::AccessibleNode& node : m_display.AccessibleTree(Pid()))
                if (node.role == "label" && node.showing && (node.name == text || node.text == text))
                    return true;
            return false;
        },
        timeoutMs, 200);
}

bool Pic32Program::WaitForEnd(int timeoutMs) {
    return m_process && vltest::WaitUntil([&] { return !m_process->Running(); }, timeoutMs, 50);
}

long PixelAt(const std::string& pngFile, int x, int y) {
    const QImage image(QString::fromStdString(pngFile));
    if (image.isNull() || !image.valid(x, y))
        return -1;
    return static_cast<long>(image.pixel(x, y) & 0xFFFFFF);
}

} // namespace pic32test
