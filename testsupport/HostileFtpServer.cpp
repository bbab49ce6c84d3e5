#include "HostileFtpServer.h"

#include <cstdio>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vltest {

namespace {

void sendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

void reply(int fd, const std::string& line) {
    sendAll(fd, line + "\r\n");
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// The client's data address from "PORT h1,h2,h3,h4,p1,p2".
bool parsePort(const std::string& command, sockaddr_in& a) {
    unsigned h[4], p[2];
    if (std::sscanf(command.c_str() + 5, "%u,%u,%u,%u,%u,%u", &h[0], &h[1], &h[2], &h[3], &p[0], &p[1]) != 6)
        return false;
    a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl((h[0] << 24) | (h[1] << 16) | (h[2] << 8) | h[3]);
    a.sin_port = htons(static_cast<uint16_t>((p[0] << 8) | p[1]));
    return true;
}

} // namespace

HostileFtpServer::HostileFtpServer(FtpMisbehaviour how, int port, std::string content)
    : m_how(how), m_content(std::move(content)) {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t len = sizeof a;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_listen, 4) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("hostile FTP server: cannot listen on loopback");
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { serve(); });
}

HostileFtpServer::~HostileFtpServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

std::vector<std::string> HostileFtpServer::Commands() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

void HostileFtpServer::serve() {
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 50) != 1)
            continue;
        int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_sessions;
        session(fd);
        ::close(fd);
    }
}

bool HostileFtpServer::readLine(int fd, std::string& buf, std::string& line) {
    for (;;) {
        auto nl = buf.find('\n');
        if (nl != std::string::npos) {
            line = buf.substr(0, nl > 0 && buf[nl - 1] == '\r' ? nl - 1 : nl);
            buf.erase(0, nl + 1);
            return true;
        }
        if (m_stop)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) != 1)
            continue;
        char chunk[4096];
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        buf.append(chunk, static_cast<std::size_t>(n));
    }
}

void HostileFtpServer::session(int fd) {
    switch (m_how) {
    case FtpMisbehaviour::NeverGreets:
        break;
    case FtpMisbehaviour::OverlongLine:
        sendAll(fd, "220 " + std::string(100000, 'x') + "\r\n");
        break;
    case FtpMisbehaviour::NotAReply:
        reply(fd, "HTTP/1.0 400 Bad Request");
        break;
    case FtpMisbehaviour::ClosesMidReply:
        reply(fd, "220-Welcome");
        return;
    default:
        reply(fd, "220 Scripted server ready.");
    }
    std::string buf, line;
    sockaddr_in data{};
    bool haveData = false;
    while (readLine(fd, buf, line)) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.push_back(line);
        }
        if (startsWith(line, "USER ")) {
            reply(fd, "331 Please specify the password.");
        } else if (startsWith(line, "PASS ")) {
            reply(fd, "230 Login successful.");
        } else if (startsWith(line, "TYPE ")) {
            reply(fd, m_how == FtpMisbehaviour::RefusesBinary ? "500 Unrecognised TYPE command."
                                                              : "200 Switching to Binary mode.");
        } else if (startsWith(line, "PORT ")) {
            haveData = parsePort(line, data);
            reply(fd, haveData ? "200 PORT command successful." : "501 Illegal PORT command.");
        } else if (startsWith(line, "RETR ")) {
            const std::string opening = "150 Opening BINARY mode data connection for " + line.substr(5) +
                                        " (" + std::to_string(m_content.size()) + " bytes).";
            if (m_how == FtpMisbehaviour::NoDataConnection) {
                reply(fd, opening);
                continue;
            }
            int d = haveData ? ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
            if (d < 0 || ::connect(d, reinterpret_cast<sockaddr*>(&data), sizeof data) != 0) {
                if (d >= 0)
                    ::close(d);
                reply(fd, "425 Failed to establish connection.");
                continue;
            }
            reply(fd, opening);
            if (m_how == FtpMisbehaviour::ClosesMidTransfer) {
                sendAll(d, m_content.substr(0, m_content.size() / 2));
                ::close(d);
                return;
            }
            sendAll(d, m_how == FtpMisbehaviour::ShortTransfer ? m_content.substr(0, m_content.size() / 2)
                                                               : m_content);
            ::close(d);
            reply(fd, "226 Transfer complete.");
        } else if (line == "QUIT") {
            reply(fd, "221 Goodbye.");
            return;
        } else {
            reply(fd, "500 Unknown command.");
        }
    }
}

} // namespace vltest
