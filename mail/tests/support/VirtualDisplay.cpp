#include "VirtualDisplay.h"

#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vlpak32test {

namespace {

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    if (!vltest::WaitUntil([pid] { return ::waitpid(pid, nullptr, WNOHANG) == pid; }, 3000, 50)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

} // namespace

VirtualDisplay::VirtualDisplay() {
    int fds[2];
    if (::pipe(fds) != 0) {
        m_why = "pipe failed";
        return;
    }
    m_xvfb = ::fork();
    if (m_xvfb == 0) {
        // Xvfb picks a free display number itself and writes it to fd 3.
        ::dup2(fds[1], 3);
        int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty()) {
        m_why = "Xvfb did not start";
        return;
    }
    m_name = ":" + number;

    const std::string display = "DISPLAY=" + m_name;
    m_wm = std::make_unique<vltest::ChildProcess>(std::vector<std::string>{"/usr/bin/openbox"}, "",
                                                  std::vector<std::string>{display});
    // The window manager is ready once it has claimed the root window.
    m_started = vltest::WaitUntil(
        [&] {
            std::string out;
            return vltest::RunProgram({"/usr/bin/xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, &out,
                                      {display}) == 0 &&
                   out.find("window id") != std::string::npos;
        },
        10000, 100);
    if (!m_started)
        m_why = "openbox did not start";
}

VirtualDisplay::~VirtualDisplay() {
    m_wm.reset();
    stop(m_xvfb);
}

int VirtualDisplay::xdotool(const std::vector<std::string>& args, std::string* out) const {
    std::vector<std::string> argv{"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string o;
    const int status = vltest::RunProgram(argv, &o, {"DISPLAY=" + m_name});
    if (out)
        *out = std::move(o);
    return status;
}

std::string VirtualDisplay::WaitForWindow(pid_t pid, const std::string& title, int timeoutMs) const {
    std::string found;
    vltest::WaitUntil(
        [&] {
            std::string out;
            if (xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)}, &out) != 0)
                return false;
            std::istringstream ids(out);
            for (std::string id; ids >> id;) {
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
    if (xdotool({"windowactivate", "--sync", window}, nullptr) != 0)
        return false;
    return xdotool({"key", "--clearmodifiers", key}, nullptr) == 0;
}

std::string VirtualDisplay::WindowName(const std::string& window) const {
    std::string out;
    if (xdotool({"getwindowname", window}, &out) != 0)
        return {};
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

} // namespace vlpak32test
