#pragma once

// A tiny scripted TCP server on loopback for what real servers will not do on demand: refuse
// the greeting, stall in the middle of a message's data, close in the middle of a transfer.
// It listens at once on 127.0.0.1 (a free port), accepts one connection in a thread of its own
// and runs the script on it; the test reads what the script recorded after Finish().

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest {

using Clock = std::chrono::steady_clock;

class PeerConnection {
  public:
    explicit PeerConnection(int fd) : m_fd(fd) {}

    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // One line without CR LF; "" with Closed() true when the client closed first.
    std::string ReadLine() {
        for (;;) {
            auto nl = m_buf.find('\n');
            if (nl != std::string::npos) {
                std::string line = m_buf.substr(0, nl > 0 && m_buf[nl - 1] == '\r' ? nl - 1 : nl);
                m_buf.erase(0, nl + 1);
                return line;
            }
            if (!fill())
                return {};
        }
    }

    // Reads a message's data up to the final "CR LF . CR LF"; `onProgress(total)` after each read.
    std::size_t ReadData(const std::function<void(std::size_t)>& onProgress) {
        std::size_t total = m_buf.size();
        std::string tail = m_buf;
        m_buf.clear();
        for (;;) {
            if (tail.size() >= 5 && tail.compare(tail.size() - 5, 5, "\r\n.\r\n") == 0)
                return total;
            char chunk[65536];
            ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0) {
                m_closed = true;
                return total;
            }
            total += static_cast<std::size_t>(n);
            tail = tail.size() > 4 ? tail.substr(tail.size() - 4) : tail;
            tail.append(chunk, static_cast<std::size_t>(n));
            onProgress(total);
        }
    }

    bool Closed() const { return m_closed; }

  private:
    bool fill() {
        char chunk[4096];
        ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            m_closed = true;
            return false;
        }
        m_buf.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int m_fd;
    std::string m_buf;
    bool m_closed = false;
};

class ScriptedPeer {
  public:
    using Script = std::function<void(PeerConnection&)>;

    // `receiveBuffer` > 0 fixes the socket's receive buffer, so that a script that stops reading
    // soon makes the client wait.
    explicit ScriptedPeer(Script script, int receiveBuffer = 0) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listen >= 0 && receiveBuffer > 0)
            ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(m_listen, 1) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            throw std::runtime_error("scripted peer: cannot listen on loopback");
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this, script = std::move(script)] {
            // A client that never comes must not hang the test.
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 10000) != 1)
                return;
            int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;
            PeerConnection conn(fd);
            script(conn);
            ::close(fd);
        });
    }

    ~ScriptedPeer() {
        Finish();
        ::close(m_listen);
    }

    int Port() const { return m_port; }
    // Waits for the script to end.
    void Finish() {
        if (m_thread.joinable())
            m_thread.join();
    }

  private:
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
};

} // namespace nettest
