#pragma once

// A real POP3 server on loopback: dovecot (dovecot -F -c FILE) with its own configuration in a
// temporary folder, one passwd-file user and a Maildir owned by nobody that the test fills.
// Its log tells per session how many TOP, RETR and DELE commands it served.

#include "TestSupport.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vltest {

struct Pop3ServerOptions {
    int port = 110;
    std::string user = "jan";
    std::string password = "tajne";
};

// One finished session, from dovecot's logout line
// ("top=%t/%p, retr=%r/%b, del=%d/%m, size=%s").
struct Pop3Session {
    int top = 0;      // TOP commands served
    int retr = 0;     // RETR commands served
    int del = 0;      // messages deleted at QUIT (0 when the session ended without QUIT)
    std::string line; // the whole log line
};

class Pop3Server {
  public:
    explicit Pop3Server(Pop3ServerOptions options = {});
    ~Pop3Server();

    bool Started() const { return m_started; }
    int Port() const { return m_options.port; }
    const Pop3ServerOptions& Options() const { return m_options; }

    // Puts a message into the Maildir (raw bytes, LF or CR LF line breaks). Messages keep the
    // order in which they were added: the first is message 1.
    void AddMessage(std::string_view raw);
    // The raw bytes of the messages still in the mailbox, in order.
    std::vector<std::string> Messages() const;

    // Dovecot's whole log.
    std::string Log() const;
    // The sessions that ended so far, in order.
    std::vector<Pop3Session> Sessions() const;
    // Waits until at least n sessions have ended.
    bool WaitForSessions(std::size_t n, int timeoutMs) const;

  private:
    Pop3ServerOptions m_options;
    TempDir m_dir{"vlpop3"};
    std::unique_ptr<ChildProcess> m_process;
    bool m_started = false;
    int m_added = 0;
};

} // namespace vltest
