#pragma once

// SMTP client: connect (greeting, EHLO or HELO), send one message, disconnect (QUIT).
//
// Events, in order: OnWorkBegin once per message when its data starts to go out (after DATA's
// 354); OnDisconnected after the connection has been closed by Disconnect() or by the client
// itself after a refused greeting or HELO. A TCP connection that cannot be made raises no
// event. A refused MAIL, RCPT or DATA raises EIdProtocolReplyError and keeps the connection.
// Destroying a connected client closes the socket without QUIT and without an event.

#include <net/CommandChannel.h>
#include <net/IdMessage.h>

#include <cstdint>
#include <functional>
#include <string>

namespace net {

enum TWorkMode { wmRead, wmWrite };
enum TIdSMTPAuthenticationType { atNone };

class TIdSMTP {
public:
    // sender: this client. workMode: wmWrite. workCountMax: the bytes of the message's data
    // as it goes out (headers, encoded parts, before dot-stuffing).
    using TWorkBeginEvent = std::function<void(void* sender, TWorkMode workMode, std::int64_t workCountMax)>;
    using TNotifyEvent = std::function<void(void* sender)>;

    TIdSMTP() = default;
    ~TIdSMTP();

    const std::string& Host() const { return m_host; }
    void SetHost(std::string_view h) { m_host = h; }
    int Port() const { return m_port; }
    void SetPort(int p) { m_port = p; }
    // Kept, not sent: with atNone no login is made.
    const std::string& Username() const { return m_username; }
    void SetUsername(std::string_view u) { m_username = u; }
    const std::string& Password() const { return m_password; }
    void SetPassword(std::string_view p) { m_password = p; }
    TIdSMTPAuthenticationType AuthenticationType() const { return m_authType; }
    void SetAuthenticationType(TIdSMTPAuthenticationType t) { m_authType = t; }
    int ReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int ms) { m_readTimeout = ms; }
    TIdMaxLineAction MaxLineAction() const { return m_channel.MaxLineAction(); }
    void SetMaxLineAction(TIdMaxLineAction a) { m_channel.SetMaxLineAction(a); }
    std::size_t MaxLineLength() const { return m_channel.MaxLineLength(); }
    void SetMaxLineLength(std::size_t n) { m_channel.SetMaxLineLength(n); }
    // The name given in EHLO/HELO (default: this machine's host name).
    const std::string& HeloName() const { return m_heloName; }
    void SetHeloName(std::string_view n) { m_heloName = n; }

    TWorkBeginEvent OnWorkBegin;
    TNotifyEvent OnDisconnected;

    // Connects to Host:Port (timeoutMs < 0: no limit), reads the greeting, sends EHLO and,
    // when refused, HELO. Raises EIdSocketError for the TCP connection, EIdProtocolReplyError
    // for a refused greeting or HELO (after QUIT, close and OnDisconnected).
    void Connect(int timeoutMs = -1);
    bool Connected() const;
    // Sends `msg`: MAIL FROM (From's address), RCPT TO per recipient, DATA, the message with
    // dot-stuffing, ".". Attachment files are opened before MAIL FROM (a missing one raises
    // rtl::EInOutError "Cannot open file ..." with nothing sent) and streamed as base64.
    // A refused command raises EIdProtocolReplyError; socket failures EIdSocketError.
    void Send(const TIdMessage& msg);
    // QUIT (when connected; its reply is not required), close, OnDisconnected.
    void Disconnect();

    // The EHLO reply's keywords ("SIZE 33554432", "8BITMIME", ...), empty after HELO.
    const std::vector<std::string>& Extensions() const { return m_extensions; }

private:
    void sendHello();                  // EHLO name, falling back to HELO name
    void mailFrom(const std::string&); // MAIL FROM:<a>; 250
    void rcptTo(const std::string&);   // RCPT TO:<a>; 250 or 251
    void data();                       // DATA; 354
    void quitAndClose();               // QUIT without requiring the reply, close
    void closed();                     // the one place raising OnDisconnected

    CommandChannel m_channel;
    std::string m_host;
    int m_port = 25;
    std::string m_username, m_password;
    TIdSMTPAuthenticationType m_authType = atNone;
    int m_readTimeout = 0;
    std::string m_heloName;
    std::vector<std::string> m_extensions;
};

} // namespace net
