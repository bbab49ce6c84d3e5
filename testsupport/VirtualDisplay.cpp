#include "VirtualDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vltest {

namespace {

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    if (!WaitUntil([pid] { return ::waitpid(pid, nullptr, WNOHANG) == pid; }, 3000, 50)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

constexpr int kFirstDisplay = 100;
constexpr int kDisplayCount = 900;
constexpr int kMostFailedStarts = 5;

// The lock's descriptor when `number` is free for a display of ours (no other test holds it, no
// X server has its socket or lock file), -1 otherwise. The lock goes with the descriptor, so a
// test that dies frees its number.
int claimDisplay(int number) {
    const std::string n = std::to_string(number);
    const int fd = ::open(("/tmp/vltest-display-" + n + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::access(("/tmp/.X11-unix/X" + n).c_str(), F_OK) == 0 ||
        ::access(("/tmp/.X" + n + "-lock").c_str(), F_OK) == 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Starts Xvfb on display `number` and waits until it accepts clients (it writes the number to
// fd 3 then); its pid, or -1 when it did not come up.
pid_t startXvfb(int number) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const std::string display = ":" + std::to_string(number);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 3); // dup2 clears close-on-exec on the copy
        int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten",
                 "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string written;
    char c;
    while (pid > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        written += c;
    ::close(fds[0]);
    if (pid > 0 && written != std::to_string(number)) {
        stop(pid);
        return -1;
    }
    return pid;
}

// openbox's own settings with the Alt+Esc binding cut out; a settings file of its own when the
// system has none (openbox then binds no keys at all).
std::string settingsWithoutAltEscape() {
    std::string rc = ReadFile("/etc/xdg/openbox/rc.xml");
    if (rc.empty())
        return "<?xml version=\"1.0\"?>\n<openbox_config xmlns=\"http://openbox.org/3.4/rc\"/>\n";
    const std::size_t start = rc.find("<keybind key=\"A-Escape\">");
    if (start != std::string::npos) {
        const std::size_t end = rc.find("</keybind>", start);
        if (end != std::string::npos)
            rc.erase(start, end + std::string("</keybind>").size() - start);
    }
    return rc;
}

} // namespace

VirtualDisplay::VirtualDisplay() : VirtualDisplay(Options{}) {}

VirtualDisplay::VirtualDisplay(const Options& options) {
    // Xvfb's own choice of a free number (-displayfd alone) only sees the X servers of its own
    // network namespace, and takes no lock file: a test in a private namespace would pick the
    // number of a display another test already runs, unlink that display's socket file and bind
    // its own, so that the other test's programs reach the wrong screen. The number is claimed
    // here instead, under a lock every display of the tests takes, and only where no X server
    // of the machine has a socket or a lock.
    int failedStarts = 0;
    for (int number = kFirstDisplay; number < kFirstDisplay + kDisplayCount; ++number) {
        const int lock = claimDisplay(number);
        if (lock < 0)
            continue;
        const pid_t xvfb = startXvfb(number);
        if (xvfb < 0) {
            ::close(lock);
            // A server that will not start anywhere (not installed, no memory) is not looked for
            // on every number.
            if (++failedStarts == kMostFailedStarts)
                break;
            continue;
        }
        m_xvfb = xvfb;
        m_displayLock = lock;
        m_name = ":" + std::to_string(number);
        break;
    }
    if (m_name.empty()) {
        m_why = "Xvfb did not start";
        return;
    }

    const std::string display = "DISPLAY=" + m_name;
    std::vector<std::string> wm{"/usr/bin/openbox"};
    // The window manager's settings (when changed) and what it prints, for a failed start.
    char wmFolder[] = "/tmp/vltest-wm-XXXXXX";
    if (!::mkdtemp(wmFolder)) {
        m_why = "no folder for the window manager";
        return;
    }
    m_wmFolder = wmFolder;
    if (options.freeAltEscape) {
        WriteFile(m_wmFolder + "/rc.xml", settingsWithoutAltEscape());
        wm.insert(wm.end(), {"--config-file", m_wmFolder + "/rc.xml"});
    }
    // The window manager is ready once it has claimed the root window. On a busy machine openbox
    // now and then fails to open a display that has just come up ("Failed to open the display")
    // and ends; it is started again, within the bound.
    std::string lastLook;
    m_started = WaitUntil(
        [&] {
            if (!m_wm || !m_wm->Running())
                m_wm = std::make_unique<ChildProcess>(wm, m_wmFolder + "/openbox.log",
                                                      std::vector<std::string>{display});
            // Each look bounded: a server busy starting can leave xprop waiting for long.
            return RunProgram({"/usr/bin/timeout", "5", "/usr/bin/xprop", "-root", "_NET_SUPPORTING_WM_CHECK"},
                              &lastLook, {display}) == 0 &&
                   lastLook.find("window id") != std::string::npos;
        },
        // A machine busy with other tests can take long to start it.
        30000, 100);
    if (!m_started) {
        m_why = "openbox did not start on " + m_name + " (" + (m_wm->Running() ? "running" : "ended") +
                "); xprop: " + lastLook + "; openbox: " + ReadFile(m_wmFolder + "/openbox.log");
        return;
    }

    // A session bus of its own (its socket in a private folder, which is also the runtime
    // folder, so that no two displays share an accessibility bus socket), and the AT-SPI bus
    // launcher on it, which Qt's accessibility bridge asks for the accessibility bus.
    char folder[] = "/tmp/vltest-bus-XXXXXX";
    if (::mkdtemp(folder))
        m_busFolder = folder;
    m_busAddress = "unix:path=" + m_busFolder + "/bus";
    m_bus = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/dbus-daemon", "--session",
                                                                    "--nofork", "--address=" + m_busAddress});
    const std::string busEnv = "DBUS_SESSION_BUS_ADDRESS=" + m_busAddress;
    WaitUntil([&] { return ::access((m_busFolder + "/bus").c_str(), F_OK) == 0; }, 5000, 20);
    m_atspi = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/libexec/at-spi-bus-launcher"}, "",
        std::vector<std::string>{display, busEnv, "XDG_RUNTIME_DIR=" + m_busFolder});
}

std::vector<std::string> VirtualDisplay::ProgramEnvironment() const {
    return {"DISPLAY=" + m_name,
            "QT_QPA_PLATFORM=xcb",
            "DBUS_SESSION_BUS_ADDRESS=" + m_busAddress,
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1",
            "QT_ACCESSIBILITY=1",
            "XDG_RUNTIME_DIR=" + m_busFolder};
}

bool VirtualDisplay::Click(const std::string& window, int x, int y) const {
    if (!activate(window))
        return false;
    return xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"},
                   nullptr) == 0;
}

bool VirtualDisplay::Click(const std::string& window, const AccessibleNode& node) const {
    if (node.width <= 0 || node.height <= 0)
        return false;
    if (!activate(window))
        return false;
    return xdotool({"mousemove", "--sync", std::to_string(node.x + node.width / 2),
                    std::to_string(node.y + node.height / 2), "click", "1"},
                   nullptr) == 0;
}

std::vector<std::string> VirtualDisplay::VisibleWindows(pid_t pid) const {
    std::string out;
    std::vector<std::string> ids;
    if (xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)}, &out) != 0)
        return ids;
    std::istringstream in(out);
    for (std::string id; in >> id;)
        ids.push_back(id);
    return ids;
}

bool VirtualDisplay::Screenshot(const std::string& window, const std::string& pngFile, bool withFrame) const {
    std::vector<std::string> argv = {"/usr/bin/import", "-window", window, pngFile};
    if (withFrame)
        argv.insert(argv.begin() + 1, "-frame");
    return RunProgram(argv, nullptr, {"DISPLAY=" + m_name}) == 0;
}

std::vector<AccessibleNode> VirtualDisplay::AccessibleTree(pid_t pid) const {
    std::string out;
    if (RunProgram(
            // A busy program can leave a bus call unanswered for long: bound each look, the
            // caller's wait tries again.
            {"/usr/bin/timeout", "10", "/usr/bin/python3", std::string(VLTEST_SUPPORT_DIR) + "/atspi_tree.py",
             std::to_string(pid)},
            &out, {"DBUS_SESSION_BUS_ADDRESS=" + m_busAddress}) != 0)
        return {};
    auto unescape = [](const std::string& s) {
        std::string r;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\\' && i + 1 < s.size()) {
                const char c = s[++i];
                r += c == 'n' ? '\n' : c == 't' ? '\t' : c;
            } else {
                r += s[i];
            }
        }
        return r;
    };
    std::vector<AccessibleNode> nodes;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            f.push_back(line.substr(start, tab - start));
        f.push_back(line.substr(start));
        if (f.size() < 5)
            continue;
        AccessibleNode n;
        n.depth = std::atoi(f[0].c_str());
        n.role = f[1];
        n.showing = f[2] == "1";
        n.name = unescape(f[3]);
        n.text = unescape(f[4]);
        if (f.size() > 5) {
            std::istringstream pairs(unescape(f[5]));
            for (std::string pair; std::getline(pairs, pair, ';');) {
                const std::size_t eq = pair.find('=');
                if (eq != std::string::npos)
                    n.attributes[pair.substr(0, eq)] = pair.substr(eq + 1);
            }
        }
        if (f.size() > 6)
            std::sscanf(f[6].c_str(), "%d,%d,%d,%d", &n.x, &n.y, &n.width, &n.height);
        if (f.size() > 7)
            n.description = unescape(f[7]);
        nodes.push_back(std::move(n));
    }
    return nodes;
}

VirtualDisplay::~VirtualDisplay() {
    m_atspi.reset();
    m_bus.reset();
    if (!m_busFolder.empty())
        RunProgram({"/bin/rm", "-rf", m_busFolder});
    m_wm.reset();
    if (!m_wmFolder.empty())
        RunProgram({"/bin/rm", "-rf", m_wmFolder});
    stop(m_xvfb);
    if (m_displayLock >= 0)
        ::close(m_displayLock);
}

bool VirtualDisplay::activate(const std::string& window) const {
    // xdotool waits for the activation without end; on a busy machine the window manager may
    // let a request pass unanswered, or refuse it while a closing box still holds the focus, so
    // each wait is bounded and the request sent again until the window takes the focus.
    return WaitUntil(
        [&] {
            return RunProgram({"/usr/bin/timeout", "5", "/usr/bin/xdotool", "windowactivate", "--sync", window},
                              nullptr, {"DISPLAY=" + m_name}) == 0;
        },
        20000, 200);
}

int VirtualDisplay::xdotool(const std::vector<std::string>& args, std::string* out) const {
    std::vector<std::string> argv{"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string o;
    const int status = RunProgram(argv, &o, {"DISPLAY=" + m_name});
    if (out)
        *out = std::move(o);
    return status;
}

std::string VirtualDisplay::WaitForWindow(pid_t pid, const std::string& title, int timeoutMs) const {
    std::string found;
    WaitUntil(
        [&] {
            for (const std::string& id : VisibleWindows(pid)) {
                if (WindowName(id) == title) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 100);
    return found;
}

bool VirtualDisplay::PressKey(const std::string& window, const std::string& key) const {
    if (!activate(window))
        return false;
    return xdotool({"key", "--clearmodifiers", key}, nullptr) == 0;
}

bool VirtualDisplay::PressKeyOnFocus(const std::string& key) const {
    return xdotool({"key", "--clearmodifiers", key}, nullptr) == 0;
}

bool VirtualDisplay::MovePointer(int x, int y) const {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y)}, nullptr) == 0;
}

bool VirtualDisplay::Geometry(const std::string& window, WindowGeometry* geometry) const {
    std::string out;
    if (xdotool({"getwindowgeometry", "--shell", window}, &out) != 0)
        return false;
    WindowGeometry g;
    int found = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string name = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        for (auto [key, field] : {std::pair{"X", &g.x}, {"Y", &g.y}, {"WIDTH", &g.width}, {"HEIGHT", &g.height}})
            if (name == key) {
                *field = value;
                ++found;
            }
    }
    if (found != 4)
        return false;
    *geometry = g;
    return true;
}

std::string VirtualDisplay::Property(const std::string& window, const std::string& name) const {
    std::string out;
    if (RunProgram({"/usr/bin/xprop", "-id", window, name}, &out, {"DISPLAY=" + m_name}) != 0)
        return {};
    // "NAME(TYPE) = value" or "NAME:  not found."
    const std::size_t eq = out.find(" = ");
    if (eq == std::string::npos)
        return {};
    std::string value = out.substr(eq + 3);
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.pop_back();
    return value;
}

std::string VirtualDisplay::WindowName(const std::string& window) const {
    std::string out;
    if (xdotool({"getwindowname", window}, &out) != 0)
        return {};
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

} // namespace vltest
