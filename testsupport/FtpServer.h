#pragma once

// A real FTP server on loopback: Debian's vsftpd (vsftpd FILE) with its own configuration in a
// temporary folder, anonymous logins only (any password), active-mode data connections,
// serving a folder that the test fills (e.g. AddFile("pub/news/ox8_news.inf", ...)). It logs
// every command and reply; Logins() and Downloads() count what it served from that log.
// Start it in a private network namespace (VLTEST_PRIVATE_NETWORK): it takes port 21.
//
// A Debian ftp-proxy of the "USER user@host" kind in front of it: FtpProxy. A server that
// misbehaves on purpose: HostileFtpServer (HostileFtpServer.h).

#include "TestSupport.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vltest {

struct FtpServerOptions {
    int port = 21; // ftp-proxy's "user@host" logins always go to port 21
    // Seconds a logged-in session may stay silent before vsftpd says "421 Timeout." and closes.
    int idleSessionTimeout = 300;
};

class FtpServer {
  public:
    explicit FtpServer(FtpServerOptions options = {});
    // Stops vsftpd and its sessions: connected clients see the connection closed.
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    bool Started() const { return m_started; }
    int Port() const { return m_options.port; }

    // The served folder (the anonymous root; "/" for a client).
    std::string Root() const { return m_dir.Path() + "/root"; }
    // Puts a file under the root, making its folders ("pub/news/a.inf"); readable by the
    // server's anonymous user.
    void AddFile(std::string_view relativePath, std::string_view bytes);

    // vsftpd's whole log ("FTP command: ...", "FTP response: ...", "OK LOGIN", "OK DOWNLOAD").
    std::string Log() const;
    // The lines of the log holding `what`: "OK LOGIN" (sessions logged in; a bare port probe
    // logs only CONNECT), "OK DOWNLOAD", "FAIL DOWNLOAD", "FTP command: Client \"127.0.0.1\",
    // \"TYPE I\"" ...
    int Count(std::string_view what) const;
    int Logins() const { return Count("OK LOGIN"); }
    int Downloads() const { return Count("OK DOWNLOAD"); }
    int FailedDownloads() const { return Count("FAIL DOWNLOAD"); }
    // The commands the server received, in order ("USER anonymous", "TYPE I", "RETR x", ...).
    std::vector<std::string> Commands() const;
    // Waits until Count(what) >= n (vsftpd writes its log lines a moment after the reply).
    bool WaitForCount(std::string_view what, int n, int timeoutMs = 5000) const;

  private:
    FtpServerOptions m_options;
    TempDir m_dir{"vlftp"};
    std::unique_ptr<ChildProcess> m_process;
    bool m_started = false;
};

struct FtpProxyOptions {
    int port = 2121;
};

// Debian's ftp-proxy (proxy-suite) in standalone mode on 127.0.0.1: a client logs in to it as
// "user@host" and it passes the session on to port 21 of that host, relaying active-mode data
// connections (the proxy connects to the client itself).
class FtpProxy {
  public:
    explicit FtpProxy(FtpProxyOptions options = {});
    ~FtpProxy();
    FtpProxy(const FtpProxy&) = delete;
    FtpProxy& operator=(const FtpProxy&) = delete;

    bool Started() const { return m_started; }
    int Port() const { return m_options.port; }
    // The proxy's log (one line per command it relayed, "USER-INF 'RETR a.inf' from ...").
    std::string Log() const;

  private:
    FtpProxyOptions m_options;
    TempDir m_dir{"vlftpproxy"};
    std::unique_ptr<ChildProcess> m_process;
    bool m_started = false;
};

} // namespace vltest
