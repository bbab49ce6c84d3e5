#pragma once

// A scripted FTP server on loopback for what real servers will not do on demand: never greet,
// send an endless line or something that is no reply, close in the middle of a reply or of a
// transfer, end a transfer short of its announced size, announce a transfer and never open its data
// connection, refuse binary mode. Otherwise it plays a minimal anonymous server (USER 331, PASS 230, TYPE
// 200, PORT 200, RETR with the content given, QUIT 221, anything else 500), one session at a time, in a
// thread of its own, until it is destroyed.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vltest {

enum class FtpMisbehaviour {
    None,              // behaves
    NeverGreets,       // accepts and says nothing
    OverlongLine,      // greets with a line of 100,000 characters
    NotAReply,         // greets with "HTTP/1.0 400 Bad Request"
    ClosesMidReply,    // greets with "220-Welcome" and closes
    RefusesBinary,     // answers "TYPE I" with "500 Unrecognised TYPE command."
    NoDataConnection,  // answers RETR with 150 and never connects
    ClosesMidTransfer, // answers RETR with 150, sends half the content and closes both connections
    ShortTransfer,     // answers RETR with 150, sends half the content and says 226 all the same
};

class HostileFtpServer {
  public:
    // port 0: any free port (see Port()). `content`: what RETR delivers, whatever the name.
    explicit HostileFtpServer(FtpMisbehaviour how, int port = 0,
                              std::string content = std::string(1000, 'x'));
    ~HostileFtpServer();
    HostileFtpServer(const HostileFtpServer&) = delete;
    HostileFtpServer& operator=(const HostileFtpServer&) = delete;

    int Port() const { return m_port; }
    // Sessions accepted so far.
    int Sessions() const { return m_sessions; }
    // Every command line received, in order, over all sessions.
    std::vector<std::string> Commands() const;

  private:
    void serve();
    void session(int fd);
    bool readLine(int fd, std::string& buf, std::string& line); // false on close or stop

    FtpMisbehaviour m_how;
    std::string m_content;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_sessions{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::thread m_thread;
};

} // namespace vltest
