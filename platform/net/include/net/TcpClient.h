#pragma once

// The socket layer: one TCP client connection with the platform's socket error numbers.
// Every wait runs in short slices and lets TIdAntiFreeze pump window messages between them.
// Failures raise EIdSocketError (WinSock number mapped from errno / the resolver), or the
// EIdException kinds of IdException.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

enum TIdMaxLineAction { maException, maSplit };

// The WinSock number for a POSIX errno value (10054 for EPIPE, 10061 for ECONNREFUSED, ...).
int WinsockErrorFromErrno(int err);
// The WinSock number for a getaddrinfo() result: 11001 for EAI_NONAME and EAI_AGAIN alike
// (a name that does not exist and a resolver that cannot be reached look the same to callers).
int WinsockErrorFromGai(int gaiError, int savedErrno);

class TcpClient {
  public:
    TcpClient() = default;
    ~TcpClient(); // closes without a word to the peer
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Resolves `host` and connects to the first address that accepts. timeoutMs < 0: no limit
    // (10060 when it runs out). Raises EIdSocketError.
    void Connect(const std::string& host, int port, int timeoutMs = -1);
    // Closes the socket at once; reading what was buffered is no longer possible.
    void Close();
    // True from a successful Connect until Close() or until the peer was seen closing.
    bool Connected() const { return m_fd >= 0; }
    // Takes over a connected non-blocking socket (one that a listening socket accepted).
    void Adopt(int fd);
    // The socket, for address queries; -1 when closed.
    int Handle() const { return m_fd; }
    // True when a read would not wait: bytes are buffered or have arrived, or the peer closed.
    bool HasPendingInput() const;

    // Milliseconds a read may wait for the server; 0 means no limit (EIdReadTimeout otherwise).
    int ReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int ms) { m_readTimeout = ms; }

    // Milliseconds a read or write may wait without the peer giving or taking a byte before
    // the call fails with EIdSocketError 10060 (time-out), whatever ReadTimeout says: a server
    // that accepts and then falls silent must not hold the program for ever. 0: no limit.
    int SilenceTimeout() const { return m_silenceTimeout; }
    void SetSilenceTimeout(int ms) { m_silenceTimeout = ms; }
    static constexpr int kDefaultSilenceTimeout = 120000;

    // Sends every byte (waiting in slices). Raises EIdSocketError (10054 reset, 10057 closed).
    void Write(std::string_view data);
    void WriteLine(std::string_view line); // line + CR LF

    // Reads one line without its line break (CR LF or a bare LF), as a view into the receive
    // buffer that stays valid until the next read (no copy per line of a message's data). A line
    // longer than maxLength raises EIdMaxLineLengthExceeded (maException) or is returned in
    // pieces of maxLength (maSplit). The peer closing before the line ends raises
    // EIdConnClosedGracefully.
    std::string_view ReadLine(std::size_t maxLength, TIdMaxLineAction action);

    // Reads what arrives next (at least one byte) as a view valid until the next read; empty
    // when the peer closed. Waits within ReadTimeout like ReadLine.
    std::string_view ReadSome();

    // Marks the span in which the connection carries a message's data (SMTP DATA going out,
    // POP3 RETR coming in): waits inside it count as data flowing for TIdAntiFreeze, so with
    // OnlyWhenIdle a server slow to take or give the data does not make the client pump.
    class DataFlow {
      public:
        explicit DataFlow(TcpClient& c) : m_client(c) { m_client.m_dataFlowing = true; }
        ~DataFlow() { m_client.m_dataFlowing = false; }
        DataFlow(const DataFlow&) = delete;
        DataFlow& operator=(const DataFlow&) = delete;

      private:
        TcpClient& m_client;
    };

  private:
    // Waits until the socket is readable/writable; pumps messages between slices.
    void waitFor(short events, bool forRead);
    // Fills the buffer with at least one more byte; false when the peer closed.
    bool fill();

    int m_fd = -1;
    int m_readTimeout = 0;
    int m_silenceTimeout = kDefaultSilenceTimeout;
    bool m_dataFlowing = false;
    std::string m_buf = std::string(65536, '\0');
    std::size_t m_begin = 0, m_end = 0;
};

} // namespace net
