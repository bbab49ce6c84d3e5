#pragma once

// What the POP3 and SMTP clients share: the connection's settings, the command channel, the
// connection's opening and closing and the one place raising OnDisconnected. The protocols
// add their greeting, login and commands on top.
// Destroying a connected client closes the socket without QUIT and without an event.

#include <net/CommandChannel.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace net {

class TIdTCPClient {
  public:
    using TNotifyEvent = std::function<void(void* sender)>;

    virtual ~TIdTCPClient();
    TIdTCPClient(const TIdTCPClient&) = delete;
    TIdTCPClient& operator=(const TIdTCPClient&) = delete;

    const std::string& Host() const { return m_host; }
    void SetHost(std::string_view h) { m_host = h; }
    int Port() const { return m_port; }
    void SetPort(int p) { m_port = p; }
    const std::string& Username() const { return m_username; }
    void SetUsername(std::string_view u) { m_username = u; }
    const std::string& Password() const { return m_password; }
    void SetPassword(std::string_view p) { m_password = p; }
    int ReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int ms) { m_readTimeout = ms; }
    // Silence that ends a call with EIdSocketError 10060 (TcpClient::SetSilenceTimeout); two
    // minutes unless set, 0 for none.
    int SilenceTimeout() const { return m_silenceTimeout; }
    void SetSilenceTimeout(int ms) { m_silenceTimeout = ms; }
    TIdMaxLineAction MaxLineAction() const { return m_channel.MaxLineAction(); }
    void SetMaxLineAction(TIdMaxLineAction a) { m_channel.SetMaxLineAction(a); }
    std::size_t MaxLineLength() const { return m_channel.MaxLineLength(); }
    void SetMaxLineLength(std::size_t n) { m_channel.SetMaxLineLength(n); }

    TNotifyEvent OnDisconnected;

    bool Connected() const;
    // QUIT when connected (its reply read but not required), close, OnDisconnected.
    void Disconnect();

  protected:
    explicit TIdTCPClient(int defaultPort) : m_port(defaultPort) {}

    // Opens the TCP connection to Host:Port with ReadTimeout (timeoutMs < 0: no limit).
    // Raises EIdSocketError; no event.
    void openConnection(int timeoutMs);
    // QUIT without requiring the reply, close, OnDisconnected.
    void quitAndClose();
    // Reads the reply to QUIT in the protocol's own form.
    virtual void readQuitReply() = 0;

    CommandChannel m_channel;

  private:
    void closed(); // the one place raising OnDisconnected

    std::string m_host;
    int m_port;
    std::string m_username, m_password;
    int m_readTimeout = 0;
    int m_silenceTimeout = TcpClient::kDefaultSilenceTimeout;
};

} // namespace net
