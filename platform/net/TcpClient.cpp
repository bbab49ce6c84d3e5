#include <net/TcpClient.h>

#include <net/IdAntiFreeze.h>
#include <net/IdException.h>

#include <windows/WinSock.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace net {

int WinsockErrorFromErrno(int err) {
    switch (err) {
    case EINTR:
        return win::WSAEINTR;
    case EBADF:
        return win::WSAEBADF;
    case EACCES:
    case EPERM:
        return win::WSAEACCES;
    case EFAULT:
        return win::WSAEFAULT;
    case EINVAL:
        return win::WSAEINVAL;
    case EMFILE:
    case ENFILE:
        return win::WSAEMFILE;
    case EWOULDBLOCK:
        return win::WSAEWOULDBLOCK;
    case EINPROGRESS:
        return win::WSAEINPROGRESS;
    case EALREADY:
        return win::WSAEALREADY;
    case ENOTSOCK:
        return win::WSAENOTSOCK;
    case EDESTADDRREQ:
        return win::WSAEDESTADDRREQ;
    case EMSGSIZE:
        return win::WSAEMSGSIZE;
    case EPROTOTYPE:
        return win::WSAEPROTOTYPE;
    case ENOPROTOOPT:
        return win::WSAENOPROTOOPT;
    case EPROTONOSUPPORT:
        return win::WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT:
        return win::WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP:
        return win::WSAEOPNOTSUPP;
    case EPFNOSUPPORT:
        return win::WSAEPFNOSUPPORT;
    case EAFNOSUPPORT:
        return win::WSAEAFNOSUPPORT;
    case EADDRINUSE:
        return win::WSAEADDRINUSE;
    case EADDRNOTAVAIL:
        return win::WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return win::WSAENETDOWN;
    case ENETUNREACH:
        return win::WSAENETUNREACH;
    case ENETRESET:
        return win::WSAENETRESET;
    case ECONNABORTED:
        return win::WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
        return win::WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
        return win::WSAENOBUFS;
    case EISCONN:
        return win::WSAEISCONN;
    case ENOTCONN:
        return win::WSAENOTCONN;
    case ESHUTDOWN:
        return win::WSAESHUTDOWN;
    case ETIMEDOUT:
        return win::WSAETIMEDOUT;
    case ECONNREFUSED:
        return win::WSAECONNREFUSED;
    case EHOSTDOWN:
        return win::WSAEHOSTDOWN;
    case EHOSTUNREACH:
        return win::WSAEHOSTUNREACH;
    default:
        return win::WSAEINVAL;
    }
}

int WinsockErrorFromGai(int gaiError, int savedErrno) {
    switch (gaiError) {
    case EAI_NONAME:
    case EAI_AGAIN:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return win::WSAHOST_NOT_FOUND;
    case EAI_FAIL:
        return win::WSANO_RECOVERY;
    case EAI_MEMORY:
        return win::WSAENOBUFS;
    case EAI_FAMILY:
        return win::WSAEAFNOSUPPORT;
    case EAI_SYSTEM:
        return savedErrno ? WinsockErrorFromErrno(savedErrno) : win::WSANO_RECOVERY;
    default:
        return win::WSANO_RECOVERY;
    }
}

namespace {

using Clock = std::chrono::steady_clock;

// Pumps messages while data flows, at most once per slice, so a fast transfer is not slowed
// down by the toolkit.
void pumpWhileFlowing() {
    static Clock::time_point last{};
    const auto now = Clock::now();
    if (now - last >= std::chrono::milliseconds(TIdAntiFreeze::SliceMs())) {
        last = now;
        TIdAntiFreeze::DoProcess(false);
    }
}

// The next wait slice, cut to the time left before `deadline` when the wait is limited;
// 0 once the deadline has passed.
int nextSlice(bool limited, Clock::time_point deadline) {
    int slice = TIdAntiFreeze::SliceMs();
    if (limited) {
        // Rounded up, so that a limit never ends before its time.
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return 0;
        if (left < slice)
            slice = static_cast<int>(left);
    }
    return slice;
}

} // namespace

TcpClient::~TcpClient() {
    Close();
}

void TcpClient::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_begin = m_end = 0;
}

void TcpClient::Adopt(int fd) {
    Close();
    m_fd = fd;
}

bool TcpClient::HasPendingInput() const {
    if (m_end > m_begin)
        return true;
    if (m_fd < 0)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

void TcpClient::Connect(const std::string& host, int port, int timeoutMs) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    errno = 0;
    int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc == EAI_NONAME || rc == EAI_ADDRFAMILY) {
        // AI_ADDRCONFIG hides loopback addresses when only loopback is up; ask again without it.
        hints.ai_flags = 0;
        rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    }
    if (rc != 0)
        throw EIdSocketError(WinsockErrorFromGai(rc, errno));

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int lastError = win::WSAECONNREFUSED;
    for (addrinfo* ai = list; ai; ai = ai->ai_next) {
        int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            lastError = WinsockErrorFromErrno(errno);
            continue;
        }
        int err = 0;
        if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                err = 0;
                for (;;) {
                    pollfd p{fd, POLLOUT, 0};
                    const int slice = nextSlice(timeoutMs >= 0, deadline);
                    if (slice == 0) {
                        err = ETIMEDOUT;
                        break;
                    }
                    int n = ::poll(&p, 1, slice);
                    if (n < 0 && errno != EINTR) {
                        err = errno;
                        break;
                    }
                    if (n > 0) {
                        socklen_t len = sizeof err;
                        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                        break;
                    }
                    TIdAntiFreeze::DoProcess(true);
                }
            }
        }
        if (err == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            m_fd = fd;
            ::freeaddrinfo(list);
            return;
        }
        ::close(fd);
        lastError = WinsockErrorFromErrno(err);
        if (err == ETIMEDOUT)
            break;
    }
    ::freeaddrinfo(list);
    throw EIdSocketError(lastError);
}

void TcpClient::waitFor(short events, bool forRead) {
    const bool limited = forRead && m_readTimeout > 0;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(limited ? m_readTimeout : 0);
    const bool silenceLimited = m_silenceTimeout > 0;
    const auto silenceEnd = start + std::chrono::milliseconds(silenceLimited ? m_silenceTimeout : 0);
    const bool readTimeoutFirst = limited && (!silenceLimited || deadline <= silenceEnd);
    for (;;) {
        pollfd p{m_fd, events, 0};
        const int slice = readTimeoutFirst ? nextSlice(true, deadline) : nextSlice(silenceLimited, silenceEnd);
        if (slice == 0 && readTimeoutFirst)
            throw EIdReadTimeout();
        if (slice == 0) {
            Close();
            throw EIdSocketError(WinsockErrorFromErrno(ETIMEDOUT));
        }
        int n = ::poll(&p, 1, slice);
        if (n > 0)
            return;
        if (n < 0 && errno != EINTR) {
            int err = errno;
            Close();
            throw EIdSocketError(WinsockErrorFromErrno(err));
        }
        TIdAntiFreeze::DoProcess(!m_dataFlowing);
    }
}

void TcpClient::Write(std::string_view data) {
    while (!data.empty()) {
        if (m_fd < 0)
            throw EIdSocketError(win::WSAENOTCONN);
        ssize_t n = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            pumpWhileFlowing();
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            waitFor(POLLOUT, false);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        int err = n < 0 ? errno : EPIPE;
        Close();
        throw EIdSocketError(WinsockErrorFromErrno(err));
    }
}

void TcpClient::WriteLine(std::string_view line) {
    std::string s;
    s.reserve(line.size() + 2);
    s.append(line);
    s.append("\r\n");
    Write(s);
}

bool TcpClient::fill() {
    if (m_fd < 0)
        throw EIdSocketError(win::WSAENOTCONN);
    if (m_begin == m_end)
        m_begin = m_end = 0;
    if (m_end == m_buf.size()) {
        if (m_begin > 0) {
            std::memmove(m_buf.data(), m_buf.data() + m_begin, m_end - m_begin);
            m_end -= m_begin;
            m_begin = 0;
        } else {
            m_buf.resize(m_buf.size() * 2);
        }
    }
    for (;;) {
        ssize_t n = ::recv(m_fd, m_buf.data() + m_end, m_buf.size() - m_end, 0);
        if (n > 0) {
            m_end += static_cast<std::size_t>(n);
            pumpWhileFlowing();
            return true;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitFor(POLLIN, true);
            continue;
        }
        int err = errno;
        Close();
        throw EIdSocketError(WinsockErrorFromErrno(err));
    }
}

std::string_view TcpClient::ReadLine(std::size_t maxLength, TIdMaxLineAction action) {
    std::size_t scanned = 0;
    for (;;) {
        const char* start = m_buf.data() + m_begin;
        const std::size_t avail = m_end - m_begin;
        const void* nl = avail > scanned ? std::memchr(start + scanned, '\n', avail - scanned) : nullptr;
        std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : 0;
        std::size_t content = len > 0 && start[len - 1] == '\r' ? len - 1 : len;
        // Without a line feed yet, a CR may still precede it, hence the one byte of grace.
        if (maxLength > 0 && (nl ? content > maxLength : avail > maxLength + 1)) {
            if (action == maException)
                throw EIdMaxLineLengthExceeded();
            m_begin += maxLength;
            return std::string_view(start, maxLength);
        }
        if (nl) {
            m_begin += len + 1;
            return std::string_view(start, content);
        }
        scanned = avail;
        if (!fill()) { // `scanned` counts from m_begin, so a compacted buffer keeps it valid
            Close();
            throw EIdConnClosedGracefully();
        }
    }
}

std::string_view TcpClient::ReadSome() {
    if (m_begin == m_end && !fill()) {
        Close();
        return {};
    }
    std::string_view chunk(m_buf.data() + m_begin, m_end - m_begin);
    m_begin = m_end;
    return chunk;
}

} // namespace net
