#include "VirtualDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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
    for (int i = 0; i < 60; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::string runShell(const std::string& command, int* status) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) {
        *status = -1;
        return out;
    }
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = ::pclose(p);
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
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

    m_wm = ::fork();
    if (m_wm == 0) {
        ::setenv("DISPLAY", m_name.c_str(), 1);
        int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("openbox", "openbox", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The window manager is ready once it has claimed the root window.
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        const std::string out =
            runShell("DISPLAY=" + m_name + " xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", &status);
        if (status == 0 && out.find("window id") != std::string::npos) {
            m_started = true;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    m_why = "openbox did not start";
}

VirtualDisplay::~VirtualDisplay() {
    stop(m_wm);
    stop(m_xvfb);
}

int VirtualDisplay::xdotool(const std::string& args, std::string* out) const {
    int status = 0;
    std::string o = runShell("DISPLAY=" + m_name + " xdotool " + args + " 2>/dev/null", &status);
    if (out)
        *out = std::move(o);
    return status;
}

std::string VirtualDisplay::WaitForWindow(pid_t pid, const std::string& title, int timeoutMs) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        std::string out;
        if (xdotool("search --onlyvisible --pid " + std::to_string(pid), &out) == 0) {
            std::istringstream ids(out);
            std::string id;
            while (ids >> id) {
                if (WindowName(id) == title)
                    return id;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

bool VirtualDisplay::PressKey(const std::string& window, const std::string& key) const {
    if (xdotool("windowactivate --sync " + window, nullptr) != 0)
        return false;
    return xdotool("key --clearmodifiers " + key, nullptr) == 0;
}

std::string VirtualDisplay::WindowName(const std::string& window) const {
    std::string out;
    if (xdotool("getwindowname " + window, &out) != 0)
        return {};
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

} // namespace vlpak32test
