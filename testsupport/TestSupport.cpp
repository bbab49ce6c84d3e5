#include "TestSupport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vltest {

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

namespace {
std::string enterNamespace() {
    if (!RunningAsRoot())
        return "not running as root";
    if (::unshare(CLONE_NEWNET) != 0)
        return std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return std::string("socket: ") + std::strerror(errno);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    std::string why;
    if (::ioctl(s, SIOCGIFFLAGS, &ifr) != 0)
        why = std::string("SIOCGIFFLAGS lo: ") + std::strerror(errno);
    else {
        ifr.ifr_flags |= IFF_UP | IFF_RUNNING;
        if (::ioctl(s, SIOCSIFFLAGS, &ifr) != 0)
            why = std::string("SIOCSIFFLAGS lo: ") + std::strerror(errno);
    }
    ::close(s);
    return why;
}
} // namespace

std::string EnterPrivateNetwork() {
    static const std::string result = enterNamespace();
    return result;
}

TempDir::TempDir(std::string_view prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + std::string(prefix) + "-XXXXXX";
    if (!::mkdtemp(templ.data()))
        throw std::runtime_error("mkdtemp failed: " + std::string(std::strerror(errno)));
    ::chmod(templ.c_str(), 0755);
    m_path = templ;
}

TempDir::~TempDir() {
    // Read-only entries must become writable again before an ordinary user can remove them.
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
        if (!e.is_symlink(ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::File(std::string_view name) const {
    return m_path + "/" + std::string(name);
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    const std::string path = File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, bytes);
    return path;
}

std::string TempDir::MakeFolder(std::string_view name) const {
    const std::string path = File(name);
    std::filesystem::create_directories(path);
    return path;
}

std::string TempDir::Read(std::string_view name) const {
    return ReadFile(File(name));
}

std::string ReadFile(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists)
        *exists = static_cast<bool>(in);
    if (!in)
        return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Sha256Hex(std::string_view bytes) {
    static constexpr std::array<uint32_t, 64> k = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::string msg(bytes);
    const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
    msg += static_cast<char>(0x80);
    while (msg.size() % 64 != 56)
        msg += '\0';
    for (int i = 7; i >= 0; --i)
        msg += static_cast<char>((bits >> (i * 8)) & 0xff);
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (std::size_t off = 0; off < msg.size(); off += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(msg.data() + off + i * 4);
            w[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
        }
        for (int i = 16; i < 64; ++i) {
            uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
        h[5] += f;
        h[6] += g;
        h[7] += hh;
    }
    char out[65];
    for (int i = 0; i < 8; ++i)
        std::snprintf(out + i * 8, 9, "%08x", h[i]);
    return std::string(out, 64);
}

namespace {
std::vector<char*> cArgs(const std::vector<std::string>& v) {
    std::vector<char*> out;
    for (const auto& s : v)
        out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

pid_t spawn(const std::vector<std::string>& argv, int outFd, const std::vector<std::string>& extraEnv) {
    auto args = cArgs(argv);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        int devnull = ::open("/dev/null", O_RDONLY);
        ::dup2(devnull, 0);
        if (outFd >= 0) {
            ::dup2(outFd, 1);
            ::dup2(outFd, 2);
        }
        for (const auto& e : extraEnv)
            ::putenv(const_cast<char*>(e.c_str()));
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}
} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& logFile,
                           const std::vector<std::string>& extraEnv) {
    int fd = ::open(logFile.empty() ? "/dev/null" : logFile.c_str(),
                    O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    m_pid = spawn(argv, fd, extraEnv);
    if (fd >= 0)
        ::close(fd);
}

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Running() {
    if (m_pid <= 0)
        return false;
    int status;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }
    return true;
}

namespace {

// True while a process of group `pgid` has not yet exited (zombies waiting for their reaper
// have closed their files and count as gone).
bool groupAlive(pid_t pgid) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        if (!std::getline(in, stat))
            continue;
        const auto close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        long ppid = 0, pgrp = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &ppid, &pgrp) == 3 && pgrp == pgid &&
            state != 'Z' && state != 'X')
            return true;
    }
    return false;
}

bool waitGroupGone(pid_t pgid, int timeoutMs) {
    return WaitUntil([pgid] { return !groupAlive(pgid); }, timeoutMs, 10);
}

} // namespace

// The program leads its own process group (see spawn); its helpers (dovecot's login, log and
// config processes) stay in it and may outlive it briefly, holding its listening sockets.
void ChildProcess::Stop() {
    if (m_pid <= 0)
        return;
    const pid_t group = m_pid;
    ::kill(m_pid, SIGTERM);
    const bool reaped = WaitUntil(
        [this] {
            int status;
            return ::waitpid(m_pid, &status, WNOHANG) == m_pid;
        },
        3000, 10);
    if (!reaped) {
        ::kill(m_pid, SIGKILL);
        int status;
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    if (!waitGroupGone(group, 3000)) {
        ::kill(-group, SIGKILL);
        waitGroupGone(group, 2000);
    }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
    }
    return true;
}

namespace {
sockaddr_in ipv4Address(const std::string& host, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    return a;
}
} // namespace

bool WaitForPort(const std::string& host, int port, int timeoutMs) {
    const sockaddr_in a = ipv4Address(host, port);
    return WaitUntil(
        [&] {
            int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            bool ok = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
            ::close(s);
            return ok;
        },
        timeoutMs);
}

bool WaitForPortFree(const std::string& host, int port, int timeoutMs) {
    const sockaddr_in a = ipv4Address(host, port);
    return WaitUntil(
        [&] {
            int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const int one = 1;
            ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
            bool free = ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
            ::close(s);
            return free;
        },
        timeoutMs, 10);
}

int RunProgram(const std::vector<std::string>& argv, std::string* output,
               const std::vector<std::string>& extraEnv) {
    int p[2];
    if (::pipe2(p, O_CLOEXEC) != 0)
        return -1;
    pid_t pid = spawn(argv, p[1], extraEnv);
    ::close(p[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(p[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            out.append(buf, static_cast<std::size_t>(n));
    ::close(p[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    if (output)
        *output = std::move(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name))
        m_old = old;
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace vltest
