#include <net/NMFTP.h>

#include <net/IdAntiFreeze.h>
#include <net/IdException.h>

#include <runtime/SysUtils.h>
#include <windows/WinSock.h>
#include <windows/Windows.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace net {

namespace {

using Clock = std::chrono::steady_clock;

// The next wait slice, cut to what is left of a limited wait; 0 once it ran out.
int nextSlice(int timeoutMs, Clock::time_point deadline) {
    int slice = TIdAntiFreeze::SliceMs();
    if (timeoutMs > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return 0;
        if (left < slice)
            slice = static_cast<int>(left);
    }
    return slice;
}

Clock::time_point deadlineAfter(int timeoutMs) {
    return Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
}

// ---- Name lookup -----------------------------------------------------------------------------

// One asynchronous lookup; it must outlive the resolver's work on it.
struct Lookup {
    std::string name;
    addrinfo hints{};
    gaicb cb{};
};

// Lookups given up after TimeOut that the resolver still holds; freed once it let go.
std::vector<std::unique_ptr<Lookup>>& abandonedLookups() {
    static std::vector<std::unique_ptr<Lookup>> list;
    return list;
}

void reapLookups() {
    auto& list = abandonedLookups();
    for (auto it = list.begin(); it != list.end();) {
        if (::gai_error(&(*it)->cb) == EAI_INPROGRESS) {
            ++it;
            continue;
        }
        if ((*it)->cb.ar_result)
            ::freeaddrinfo((*it)->cb.ar_result);
        it = list.erase(it);
    }
}

// The numeric addresses of `name`, in the resolver's order; 0 or a WinSock number in `error`.
// The lookup runs in the background so that window messages keep flowing while it waits.
std::vector<std::string> lookUp(const std::string& name, int timeoutMs, int& error) {
    reapLookups();
    auto lookup = std::make_unique<Lookup>();
    lookup->name = name;
    lookup->hints.ai_family = AF_UNSPEC;
    lookup->hints.ai_socktype = SOCK_STREAM;
    lookup->cb.ar_name = lookup->name.c_str();
    lookup->cb.ar_request = &lookup->hints;
    gaicb* list[1] = {&lookup->cb};
    error = 0;
    errno = 0;
    if (int rc = ::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr); rc != 0) {
        error = WinsockErrorFromGai(rc, errno);
        return {};
    }
    const auto deadline = deadlineAfter(timeoutMs);
    int rc;
    while ((rc = ::gai_error(&lookup->cb)) == EAI_INPROGRESS) {
        const int slice = nextSlice(timeoutMs, deadline);
        if (slice == 0) {
            if (::gai_cancel(&lookup->cb) != EAI_CANCELED)
                abandonedLookups().push_back(std::move(lookup));
            error = win::WSAETIMEDOUT;
            return {};
        }
        const timespec wait{slice / 1000, (slice % 1000) * 1000000L};
        ::gai_suspend(list, 1, &wait);
        TIdAntiFreeze::DoProcess(true);
    }
    if (rc != 0) {
        error = WinsockErrorFromGai(rc, errno);
        return {};
    }
    std::vector<std::string> addresses;
    for (const addrinfo* ai = lookup->cb.ar_result; ai; ai = ai->ai_next) {
        char text[NI_MAXHOST];
        if (::getnameinfo(ai->ai_addr, ai->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
            continue;
        bool seen = false;
        for (const auto& a : addresses)
            seen = seen || a == text;
        if (!seen)
            addresses.emplace_back(text);
    }
    ::freeaddrinfo(lookup->cb.ar_result);
    if (addresses.empty())
        error = win::WSAHOST_NOT_FOUND;
    return addresses;
}

// ---- Data connection -------------------------------------------------------------------------

bool sameHost(const sockaddr_storage& a, const sockaddr_storage& b) {
    if (a.ss_family != b.ss_family)
        return false;
    if (a.ss_family == AF_INET)
        return reinterpret_cast<const sockaddr_in&>(a).sin_addr.s_addr ==
               reinterpret_cast<const sockaddr_in&>(b).sin_addr.s_addr;
    if (a.ss_family == AF_INET6)
        return std::memcmp(&reinterpret_cast<const sockaddr_in6&>(a).sin6_addr,
                           &reinterpret_cast<const sockaddr_in6&>(b).sin6_addr, sizeof(in6_addr)) == 0;
    return false;
}

// The listening socket of one active-mode transfer, on the address the control connection
// uses, so that the server can reach it the way it is reached itself.
class DataListener {
  public:
    explicit DataListener(int controlFd) {
        sockaddr_storage local{};
        socklen_t len = sizeof local;
        socklen_t peerLen = sizeof m_server;
        if (::getsockname(controlFd, reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
            ::getpeername(controlFd, reinterpret_cast<sockaddr*>(&m_server), &peerLen) != 0)
            throw EIdSocketError(WinsockErrorFromErrno(errno));
        if (local.ss_family == AF_INET)
            reinterpret_cast<sockaddr_in&>(local).sin_port = 0;
        else
            reinterpret_cast<sockaddr_in6&>(local).sin6_port = 0;
        m_fd = ::socket(local.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        m_len = sizeof m_address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), len) != 0 ||
            ::listen(m_fd, 1) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&m_address), &m_len) != 0) {
            const int err = errno;
            if (m_fd >= 0)
                ::close(m_fd);
            throw EIdSocketError(WinsockErrorFromErrno(err));
        }
    }
    ~DataListener() { ::close(m_fd); }
    DataListener(const DataListener&) = delete;
    DataListener& operator=(const DataListener&) = delete;

    // "PORT h1,h2,h3,h4,p1,p2" for IPv4, "EPRT |2|address|port|" otherwise.
    std::string PortCommand() const {
        if (m_address.ss_family == AF_INET) {
            const auto& a = reinterpret_cast<const sockaddr_in&>(m_address);
            const auto* ip = reinterpret_cast<const unsigned char*>(&a.sin_addr.s_addr);
            const unsigned port = ntohs(a.sin_port);
            return rtl::Format("PORT %d,%d,%d,%d,%d,%d",
                               {ip[0], ip[1], ip[2], ip[3], port >> 8, port & 0xff});
        }
        const auto& a = reinterpret_cast<const sockaddr_in6&>(m_address);
        char text[INET6_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
        return rtl::Format("EPRT |2|%s|%d|", {text, static_cast<int>(ntohs(a.sin6_port))});
    }

    // The server's data connection; one from any other host is turned away. EIdSocketError
    // 10060 when none came within timeoutMs (<= 0: no limit).
    int Accept(int timeoutMs) {
        const auto deadline = deadlineAfter(timeoutMs);
        for (;;) {
            sockaddr_storage from{};
            socklen_t len = sizeof from;
            int fd = ::accept4(m_fd, reinterpret_cast<sockaddr*>(&from), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd >= 0) {
                if (sameHost(from, m_server))
                    return fd;
                ::close(fd);
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED)
                throw EIdSocketError(WinsockErrorFromErrno(errno));
            const int slice = nextSlice(timeoutMs, deadline);
            if (slice == 0)
                throw EIdSocketError(win::WSAETIMEDOUT);
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, slice) == 0)
                TIdAntiFreeze::DoProcess(true);
        }
    }

  private:
    int m_fd = -1;
    sockaddr_storage m_address{}, m_server{};
    socklen_t m_len = 0;
};

// ---- Local file ------------------------------------------------------------------------------

// The download's file: written under a temporary name beside the target and renamed over it
// only when complete, so that a broken transfer leaves the older copy as it was.
class PartFile {
  public:
    explicit PartFile(std::string local) : m_local(std::move(local)), m_target(win::HostPath(m_local)) {
        const auto slash = m_target.rfind('/');
        if (m_target.empty() || slash == std::string::npos || slash + 1 == m_target.size())
            fail(ENOENT);
        m_temp = m_target.substr(0, slash + 1) + "." + m_target.substr(slash + 1) + ".XXXXXX";
        m_fd = ::mkostemp(m_temp.data(), O_CLOEXEC);
        if (m_fd < 0)
            fail(errno);
        ::fchmod(m_fd, 0644);
    }
    ~PartFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_published)
            ::unlink(m_temp.c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    void Write(std::string_view data) {
        while (!data.empty()) {
            ssize_t n = ::write(m_fd, data.data(), data.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail(n < 0 ? errno : ENOSPC);
            data.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Closes the file and gives it the target's name, replacing an older file.
    void Publish() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(errno);
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
            fail(errno);
        m_published = true;
    }

  private:
    [[noreturn]] void fail(int err) const {
        const auto code = win::ErrorFromErrno(err);
        throw rtl::EInOutError(
            rtl::Format("Cannot create file \"%s\". %s", {m_local, win::SysErrorMessage(code)}),
            static_cast<int>(code));
    }

    std::string m_local, m_target, m_temp;
    int m_fd = -1;
    bool m_published = false;
};

} // namespace

// ---- Operation frame -------------------------------------------------------------------------

// Marks an operation running; a second one started from inside it is refused.
class TNMFTP::Busy {
  public:
    explicit Busy(TNMFTP& ftp) : m_ftp(ftp) {
        if (ftp.m_busy)
            throw EIdException("FTP operation already in progress.");
        ftp.m_busy = true;
        ftp.m_abort = false;
    }
    ~Busy() { m_ftp.m_busy = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

  private:
    TNMFTP& m_ftp;
};

TNMFTP::~TNMFTP() = default;

void TNMFTP::status(int level, const std::string& text) {
    if (level <= m_reportLevel && OnStatus)
        OnStatus(this, text);
}

void TNMFTP::sendCommand(std::string_view command, std::string_view shown) {
    if (command.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw EIdException("FTP command contains a line break.");
    status(16, std::string(shown.empty() ? command : shown));
    m_channel.SendLine(command);
}

FtpReply TNMFTP::readReply() {
    FtpReply reply = m_channel.ReadFtpReply();
    for (const auto& line : reply.lines)
        status(16, line);
    return reply;
}

FtpReply TNMFTP::command(std::string_view command) {
    sendCommand(command);
    return readReply();
}

bool TNMFTP::refused(TTransType op, const FtpReply& reply) {
    if (reply.code >= 500 && reply.code <= 502 && OnUnSupportedFunction)
        OnUnSupportedFunction(this, op);
    bool handled = false;
    if (OnFailure)
        OnFailure(this, handled, op);
    if (!handled)
        throw EIdProtocolReplyError(reply.code, reply.Text());
    if (reply.code == 421)
        closeSession();
    return true;
}

void TNMFTP::succeeded(TTransType op) {
    if (OnSuccess)
        OnSuccess(this, op);
}

void TNMFTP::closeSession() {
    m_channel.Socket().Close();
    if (!m_loggedIn)
        return;
    m_loggedIn = false;
    status(1, "Disconnected");
    if (OnDisconnect)
        OnDisconnect(this);
}

void TNMFTP::sessionLost(int winsockError) {
    if (OnError)
        OnError(this, static_cast<std::uint16_t>(winsockError), EIdSocketError::StackText(winsockError));
    closeSession();
    throw EIdSocketError(winsockError);
}

void TNMFTP::quietQuit() {
    try {
        if (m_channel.Socket().Connected()) {
            sendCommand("QUIT");
            readReply();
        }
    } catch (const EIdException&) {
        // The connection is going away anyway.
    }
}

void TNMFTP::closeIfAsked() {
    if (!m_closeAfter)
        return;
    m_closeAfter = false;
    quietQuit();
    closeSession();
}

void TNMFTP::checkAlive() {
    while (m_channel.Socket().HasPendingInput())
        if (readReply().code == 421)
            throw EIdConnClosedGracefully();
}

template <class Body> void TNMFTP::operation(Body body) {
    Busy busy(*this);
    if (!m_loggedIn)
        throw EIdSocketError(win::WSAENOTCONN);
    try {
        try {
            checkAlive();
            body();
        } catch (const EIdReadTimeout&) {
            sessionLost(win::WSAETIMEDOUT);
        } catch (const EIdSocketError& e) {
            sessionLost(e.LastError());
        } catch (const EIdProtocolReplyError& e) {
            if (e.ReplyErrorCode() == 0 || e.ReplyErrorCode() == 421)
                closeSession();
            throw;
        } catch (const EIdConnClosedGracefully&) {
            closeSession();
            throw;
        } catch (const EIdMaxLineLengthExceeded&) {
            closeSession();
            throw;
        }
    } catch (...) {
        closeIfAsked();
        throw;
    }
    closeIfAsked();
}

// ---- Connect ---------------------------------------------------------------------------------

std::vector<std::string> TNMFTP::resolve() {
    for (;;) {
        const std::string name = m_proxy.empty() ? m_host : m_proxy;
        status(1, "Resolving " + name);
        int error = 0;
        auto addresses = lookUp(name, m_timeOut, error);
        if (error == 0) {
            if (OnHostResolved)
                OnHostResolved(this);
            return addresses;
        }
        bool handled = false;
        if (OnInvalidHost)
            OnInvalidHost(this, handled);
        // Only a corrected name is worth another lookup; the same one would fail again.
        if (!handled || (m_proxy.empty() ? m_host : m_proxy) == name)
            throw EIdSocketError(error);
    }
}

void TNMFTP::connectTo(const std::vector<std::string>& addresses, int port) {
    if (port < 1 || port > 65535)
        throw EIdSocketError(win::WSAEINVAL);
    int lastError = win::WSAECONNREFUSED;
    for (const auto& address : addresses) {
        status(1, "Connecting to " + address + " port " + rtl::IntToStr(port));
        try {
            m_channel.Socket().Connect(address, port, m_timeOut > 0 ? m_timeOut : -1);
            m_channel.Socket().SetReadTimeout(readTimeout());
            return;
        } catch (const EIdSocketError& e) {
            lastError = e.LastError();
            if (lastError == win::WSAETIMEDOUT)
                break;
        }
    }
    throw EIdSocketError(lastError);
}

void TNMFTP::login(const std::string& user) {
    FtpReply reply = readReply();
    if (reply.code == 120) // "ready in n minutes": the real greeting follows
        reply = readReply();
    if (reply.code != 220)
        throw EIdProtocolReplyError(reply.code, reply.Text());
    reply = command("USER " + user);
    if (reply.code == 331) {
        sendCommand("PASS " + m_password, "PASS ****");
        reply = readReply();
    }
    if (reply.code != 230 && reply.code != 202) {
        quietQuit();
        throw EIdProtocolReplyError(reply.code, reply.Text());
    }
}

void TNMFTP::Connect() {
    if (m_loggedIn)
        return;
    Busy busy(*this);
    m_channel.Socket().Close();
    const std::vector<std::string> addresses = resolve();
    const bool viaProxy = !m_proxy.empty();
    const std::string user = viaProxy ? m_userID + "@" + m_host : m_userID;
    try {
        try {
            connectTo(addresses, viaProxy ? m_proxyPort : m_port);
            login(user);
        } catch (const EIdReadTimeout&) {
            throw EIdSocketError(win::WSAETIMEDOUT);
        }
    } catch (const EIdException&) {
        m_channel.Socket().Close();
        if (OnConnectionFailed)
            OnConnectionFailed(this);
        throw;
    }
    m_image = false;
    status(1, "Logged in as " + user);
    m_loggedIn = true;
    if (OnConnect)
        OnConnect(this);
    closeIfAsked();
}

// ---- Commands --------------------------------------------------------------------------------

void TNMFTP::Mode(TTransferMode mode) {
    const bool image = mode == tmImage;
    operation([&] { doCommand(image ? "TYPE I" : "TYPE A", [&] { m_image = image; }); });
}

void TNMFTP::DoCommand(std::string_view command) {
    operation([&] { doCommand(command, [] {}); });
}

template <class Accepted> void TNMFTP::doCommand(std::string_view command, Accepted accepted) {
    const FtpReply reply = this->command(command);
    if (reply.code / 100 != 2) {
        refused(ttDoCommand, reply);
        return;
    }
    accepted();
    succeeded(ttDoCommand);
}

void TNMFTP::Disconnect() {
    if (m_busy) {
        m_abort = true;
        m_closeAfter = true;
        return;
    }
    if (!m_loggedIn) {
        m_channel.Socket().Close();
        return;
    }
    Busy busy(*this);
    quietQuit();
    closeSession();
}

void TNMFTP::Abort() {
    if (m_busy)
        m_abort = true;
}

void TNMFTP::PollIdle() {
    if (m_busy || !m_loggedIn)
        return;
    Busy busy(*this);
    try {
        checkAlive();
    } catch (const EIdException&) {
        closeSession();
    }
}

// ---- Download --------------------------------------------------------------------------------

void TNMFTP::Download(std::string_view remote, std::string_view local) {
    const std::string r(remote), l(local);
    operation([&] { download(r, l); });
}

void TNMFTP::download(const std::string& remote, const std::string& local) {
    m_bytesRecvd = m_bytesTotal = 0;
    PartFile file(local); // nothing under the target's name yet
    DataListener listener(m_channel.Socket().Handle());
    FtpReply reply = command(listener.PortCommand());
    if (reply.code / 100 != 2) {
        refused(ttDownload, reply);
        return;
    }
    reply = command("RETR " + remote);
    if (reply.code != 150 && reply.code != 125) {
        refused(ttDownload, reply);
        return;
    }
    m_bytesTotal = ParseFtpTransferSize(reply.Text());
    status(4, "Receiving " + remote + ", " + rtl::IntToStr(m_bytesTotal) + " bytes");

    TcpClient data;
    data.Adopt(listener.Accept(m_timeOut));
    data.SetReadTimeout(readTimeout());
    if (OnTransactionStart)
        OnTransactionStart(this);
    try {
        TcpClient::DataFlow flowing(data);
        while (!m_abort) {
            const std::string_view block = data.ReadSome();
            if (block.empty())
                break;
            file.Write(block);
            m_bytesRecvd += static_cast<std::int64_t>(block.size());
            if (OnPacketRecvd)
                OnPacketRecvd(this);
        }
    } catch (const EIdSocketError&) {
        data.Close();
        if (OnTransactionStop)
            OnTransactionStop(this);
        throw; // the session goes with the connection
    } catch (const EIdReadTimeout&) {
        data.Close();
        if (OnTransactionStop)
            OnTransactionStop(this);
        throw;
    } catch (...) {
        // A local file or a handler failed: the server still owes the transfer's reply.
        data.Close();
        if (OnTransactionStop)
            OnTransactionStop(this);
        readReply();
        throw;
    }
    data.Close();
    if (OnTransactionStop)
        OnTransactionStop(this);
    reply = readReply();
    if (m_abort)
        throw EIdException("Transfer aborted.");
    if (reply.code / 100 != 2) {
        refused(ttDownload, reply);
        return;
    }
    if (m_image && m_bytesTotal > 0 && m_bytesRecvd < m_bytesTotal)
        throw EIdException(
            rtl::Format("Transfer incomplete: %d of %d bytes received.", {m_bytesRecvd, m_bytesTotal}));
    file.Publish();
    status(4, "Received " + rtl::IntToStr(m_bytesRecvd) + " bytes");
    succeeded(ttDownload);
}

} // namespace net
