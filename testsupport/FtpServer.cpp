#include "FtpServer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vltest {

namespace {

// Makes every folder of `path` below `base` (mode 0755, root's, as vsftpd wants its root).
void makeFolders(const std::string& base, std::string_view relative) {
    std::string path = base;
    std::size_t start = 0;
    for (;;) {
        const auto slash = relative.find('/', start);
        if (slash == std::string_view::npos)
            return;
        path = base + "/" + std::string(relative.substr(0, slash));
        ::mkdir(path.c_str(), 0755);
        start = slash + 1;
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

// vsftpd runs each session in a process of its own session (setsid), out of reach of the
// listener's process group: find them by this server's configuration file on their command line.
std::vector<pid_t> sessionProcesses(const std::string& configFile) {
    std::vector<pid_t> out;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        std::string cmdline((std::istreambuf_iterator<char>(in)), {});
        if (cmdline.find(std::string("/usr/sbin/vsftpd") + '\0' + configFile) == 0)
            out.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return out;
}

} // namespace

FtpServer::FtpServer(FtpServerOptions options) : m_options(options) {
    const std::string& d = m_dir.Path();
    ::mkdir((d + "/root").c_str(), 0755);
    ::mkdir((d + "/empty").c_str(), 0755);
    WriteFile(d + "/vsftpd.conf", "listen=YES\n"
                                  "listen_address=127.0.0.1\n"
                                  "listen_port=" +
                                      std::to_string(m_options.port) +
                                      "\n"
                                      "background=NO\n"
                                      "anonymous_enable=YES\n"
                                      "local_enable=NO\n"
                                      "write_enable=NO\n"
                                      "no_anon_password=YES\n"
                                      "anon_root=" +
                                      d +
                                      "/root\n"
                                      "ftp_username=ftp\n"
                                      "secure_chroot_dir=" +
                                      d +
                                      "/empty\n"
                                      "seccomp_sandbox=NO\n"
                                      "port_enable=YES\n"
                                      "connect_from_port_20=NO\n"
                                      "xferlog_enable=YES\n"
                                      "log_ftp_protocol=YES\n"
                                      "idle_session_timeout=" +
                                      std::to_string(m_options.idleSessionTimeout) +
                                      "\n"
                                      "vsftpd_log_file=" +
                                      d + "/vsftpd.log\n");
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/sbin/vsftpd", d + "/vsftpd.conf"}, d + "/stdout.log");
    m_started = WaitForPort("127.0.0.1", m_options.port, 15000);
}

// Ends the listener and every session it started, so that clients see the server gone.
FtpServer::~FtpServer() {
    m_process.reset();
    const std::string config = m_dir.Path() + "/vsftpd.conf";
    for (pid_t pid : sessionProcesses(config))
        ::kill(pid, SIGKILL);
    WaitUntil([&] { return sessionProcesses(config).empty(); }, 3000, 10);
    if (m_started)
        WaitForPortFree("127.0.0.1", m_options.port, 5000);
}

void FtpServer::AddFile(std::string_view relativePath, std::string_view bytes) {
    makeFolders(Root(), relativePath);
    const std::string path = Root() + "/" + std::string(relativePath);
    WriteFile(path, bytes);
    ::chmod(path.c_str(), 0644);
}

std::string FtpServer::Log() const {
    return ReadFile(m_dir.Path() + "/vsftpd.log") + ReadFile(m_dir.Path() + "/stdout.log");
}

int FtpServer::Count(std::string_view what) const {
    int n = 0;
    for (const auto& line : lines(ReadFile(m_dir.Path() + "/vsftpd.log")))
        if (line.find(what) != std::string::npos)
            ++n;
    return n;
}

std::vector<std::string> FtpServer::Commands() const {
    std::vector<std::string> out;
    static const std::string mark = "FTP command: Client \"";
    for (const auto& line : lines(ReadFile(m_dir.Path() + "/vsftpd.log"))) {
        auto p = line.find(mark);
        if (p == std::string::npos)
            continue;
        p = line.find("\", \"", p + mark.size());
        if (p == std::string::npos || line.back() != '"')
            continue;
        out.push_back(line.substr(p + 4, line.size() - p - 5));
    }
    return out;
}

bool FtpServer::WaitForCount(std::string_view what, int n, int timeoutMs) const {
    return WaitUntil([&] { return Count(what) >= n; }, timeoutMs);
}

FtpProxy::FtpProxy(FtpProxyOptions options) : m_options(options) {
    const std::string& d = m_dir.Path();
    // It drops to nobody, then removes and recreates its log: the folder must be nobody's.
    const std::string logDir = d + "/log";
    ::mkdir(logDir.c_str(), 0755);
    const passwd* pw = ::getpwnam("nobody");
    const group* gr = ::getgrnam("nogroup");
    if (::chown(logDir.c_str(), pw ? pw->pw_uid : 65534, gr ? gr->gr_gid : 65534) != 0)
        std::perror("chown");
    WriteFile(d + "/ftp-proxy.conf", "[-Global-]\n"
                                     "ServerType standalone\n"
                                     "Listen 127.0.0.1\n"
                                     "Port " +
                                         std::to_string(m_options.port) +
                                         "\n"
                                         "AllowMagicUser yes\n"
                                         "DestinationTransferMode client\n"
                                         "User nobody\n"
                                         "Group nogroup\n"
                                         "PidFile " +
                                         logDir +
                                         "/ftp-proxy.pid\n"
                                         "LogDestination " +
                                         logDir + "/ftp-proxy.log\n");
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/sbin/ftp-proxy", "-d", "-n", "-f", d + "/ftp-proxy.conf"},
        d + "/stdout.log");
    m_started = WaitForPort("127.0.0.1", m_options.port, 15000);
}

FtpProxy::~FtpProxy() {
    m_process.reset();
    if (m_started)
        WaitForPortFree("127.0.0.1", m_options.port, 5000);
}

std::string FtpProxy::Log() const {
    return ReadFile(m_dir.Path() + "/log/ftp-proxy.log") + ReadFile(m_dir.Path() + "/stdout.log");
}

} // namespace vltest
