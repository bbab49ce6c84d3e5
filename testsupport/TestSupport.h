#pragma once

// Shared fixtures for tests that talk to real servers on loopback:
//   EnterPrivateNetwork()       this process (and its children) in a network namespace of its
//                                own with loopback up: ports 25/110 free, nothing leaves
//   VLTEST_PRIVATE_NETWORK()    the same inside a test body; skips when not root
//   TempDir                     a temporary folder (mode 0755, removed at the end)
//   ScopedEnv                   an environment variable set for one test
//   ChildProcess, WaitForPort   a started program, stopped at the end
//   SmtpServer (SmtpServer.h), Pop3Server (Pop3Server.h), VirtualDisplay (VirtualDisplay.h),
//   FtpServer and FtpProxy (FtpServer.h), HostileFtpServer (HostileFtpServer.h)

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace vltest {

// Moves the calling process into a new network namespace and brings loopback up; once per
// process (later calls return the first result). Returns "" on success, else the reason.
// Must be called while the process has one thread (the test body of a GoogleTest binary is).
std::string EnterPrivateNetwork();
// True when the process runs as root (the only case where EnterPrivateNetwork can work).
bool RunningAsRoot();

// In a TEST body: skips with a clear message when not root; fails when root but it did not work.
#define VLTEST_PRIVATE_NETWORK()                                                                             \
    do {                                                                                                     \
        if (!::vltest::RunningAsRoot())                                                                      \
            GTEST_SKIP() << "needs root for a private network namespace (unshare CLONE_NEWNET)";             \
        const std::string vltestWhy = ::vltest::EnterPrivateNetwork();                                       \
        ASSERT_EQ(vltestWhy, "") << "cannot enter a private network namespace";                              \
    } while (0)

// A temporary folder under $TMPDIR (or /tmp), mode 0755 so that servers' own users can walk
// through it; removed with its contents on destruction, read-only entries included.
class TempDir {
  public:
    explicit TempDir(std::string_view prefix = "vltest");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path + "/" + name.
    std::string File(std::string_view name) const;
    // Puts a file (its folders made as needed) or a folder at `name`, inside the folder; Write
    // throws when the file cannot be written.
    std::string Write(std::string_view name, std::string_view bytes) const;
    std::string MakeFolder(std::string_view name) const;
    // The bytes of the file at `name` ("" when there is none).
    std::string Read(std::string_view name) const;

  private:
    std::string m_path;
};

// Sets an environment variable (or, given nothing, removes it) for the life of the object and
// puts the old state back afterwards, also when the test fails half-way.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Whole-file helpers (host paths); ReadFile of a missing file gives "" and sets *exists false.
std::string ReadFile(const std::string& path, bool* exists = nullptr);
void WriteFile(const std::string& path, std::string_view bytes);
bool PathExists(const std::string& path);
// Names in a folder (no "." / ".."), sorted.
std::vector<std::string> ListFolder(const std::string& path);
// Lowercase hexadecimal SHA-256 of the bytes (via /usr/bin/sha256sum-free code of our own).
std::string Sha256Hex(std::string_view bytes);

// `text` as a JSON string literal, for the settings handed to the Python fixtures.
std::string JsonString(const std::string& text);

// A started program, leading its own process group. Stdout and stderr go to `logFile` (or
// /dev/null). The destructor stops it (SIGTERM, then SIGKILL after 3 s), reaps it and waits
// until every process left in its group has exited too (SIGKILL to the group after 3 s).
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& logFile = "",
                 const std::vector<std::string>& extraEnv = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running();
    void Stop();
    // The exit code once Running() has seen the program end by itself; -1 before, or when
    // a signal ended it.
    int ExitCode() const { return m_exitCode; }

  private:
    pid_t m_pid = -1;
    int m_exitCode = -1;
};

// Calls `done` every stepMs until it gives true (true) or timeoutMs have passed (false).
bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int stepMs = 20);

// True once host:port accepts a TCP connection, false after timeoutMs.
bool WaitForPort(const std::string& host, int port, int timeoutMs);

// True once host:port can be bound again (nothing listens on it), false after timeoutMs.
bool WaitForPortFree(const std::string& host, int port, int timeoutMs);

// Runs a program to its end; gives its exit status (-1 when it could not run) and its stdout.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr,
               const std::vector<std::string>& extraEnv = {});

} // namespace vltest
