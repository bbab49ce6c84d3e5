#pragma once

// SMTP client: connect (greeting, EHLO or HELO), send one message, disconnect (QUIT).
//
// Events, in order: OnWorkBegin once per message when its data starts to go out (after DATA's
// 354); OnDisconnected after the connection has been closed by Disconnect() or by the client
// itself after a refused greeting or HELO. A TCP connection that cannot be made raises no
// event. A refused MAIL, RCPT or DATA raises EIdProtocolReplyError and keeps the connection.
// Destroying a connected client closes the socket without QUIT and without an event.

#include <net/IdMessage.h>
#include <net/IdTCPClient.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace net {

enum TWorkMode { wmRead, wmWrite };
enum TIdSMTPAuthenticationType { atNone };

class TIdSMTP : public TIdTCPClient {
  public:
    // sender: this client. workMode: wmWrite. workCountMax: the bytes of the message's data
    // as it goes out (headers, encoded parts, before dot-stuffing).
    using TWorkBeginEvent = std::function<void(void* sender, TWorkMode workMode, std::int64_t workCountMax)>;

    TIdSMTP() : TIdTCPClient(25) {}

    // Username and Password are kept, not sent: with atNone no login is made.
    TIdSMTPAuthenticationType AuthenticationType() const { return m_authType; }
    void SetAuthenticationType(TIdSMTPAuthenticationType t) { m_authType = t; }
    // The name given in EHLO/HELO (default: this machine's host name).
    const std::string& HeloName() const { return m_heloName; }
    void SetHeloName(std::string_view n) { m_heloName = n; }

    TWorkBeginEvent OnWorkBegin;

    // Connects to Host:Port (timeoutMs < 0: no limit), reads the greeting, sends EHLO and,
    // when refused, HELO. Raises EIdSocketError for the TCP connection, EIdProtocolReplyError
    // for a refused greeting or HELO (after QUIT, close and OnDisconnected).
    void Connect(int timeoutMs = -1);
    // Sends `msg`: MAIL FROM (From's address), RCPT TO per recipient, DATA, the message with
    // dot-stuffing, ".". Attachment files are opened before MAIL FROM (a missing one raises
    // rtl::EInOutError "Cannot open file ..." with nothing sent) and streamed as base64.
    // A refused command raises EIdProtocolReplyError; socket failures EIdSocketError.
    void Send(const TIdMessage& msg);
    // The EHLO reply's keywords ("SIZE 33554432", "8BITMIME", ...), empty after HELO.
    const std::vector<std::string>& Extensions() const { return m_extensions; }

  private:
    // Sends EHLO name and, when it is refused, HELO name; raises EIdProtocolReplyError unless
    // one of them gets 250.
    void sendHello();
    // Sends MAIL FROM:<address>; raises EIdProtocolReplyError unless 250.
    void mailFrom(const std::string& address);
    // Sends RCPT TO:<address>; raises EIdProtocolReplyError unless 250 or 251.
    void rcptTo(const std::string& address);
    // Sends DATA; raises EIdProtocolReplyError unless 354.
    void data();
    void readQuitReply() override;

    TIdSMTPAuthenticationType m_authType = atNone;
    std::string m_heloName;
    std::vector<std::string> m_extensions;
};

} // namespace net
