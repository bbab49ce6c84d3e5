#pragma once

// POP3 client: one method per protocol command. Every command but RETR requires "+OK"; a
// "-ERR" raises EIdProtocolReplyError with code 2 and the server's text after "-ERR ".
// A line longer than MaxLineLength raises EIdMaxLineLengthExceeded under maException.
// The server closing while a reply is due raises EIdConnClosedGracefully (no event).
// Destroying a connected client closes the socket without QUIT and without an event.

#include <net/CommandChannel.h>
#include <net/IdMessage.h>

#include <cstdint>
#include <functional>
#include <string>

namespace net {

class TIdPOP3 {
public:
    using TNotifyEvent = std::function<void(void* sender)>;

    TIdPOP3() = default;
    ~TIdPOP3();

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
    TIdMaxLineAction MaxLineAction() const { return m_channel.MaxLineAction(); }
    void SetMaxLineAction(TIdMaxLineAction a) { m_channel.SetMaxLineAction(a); }
    std::size_t MaxLineLength() const { return m_channel.MaxLineLength(); }
    void SetMaxLineLength(std::size_t n) { m_channel.SetMaxLineLength(n); }

    TNotifyEvent OnDisconnected;

    // Connects (timeoutMs < 0: no limit), reads the greeting, sends USER and PASS. A refused
    // greeting, USER or PASS sends QUIT, closes, raises OnDisconnected and then
    // EIdProtocolReplyError(2, server text). EIdSocketError for the TCP connection (no event).
    void Connect(int timeoutMs = -1);
    bool Connected() const;
    // STAT: the number of messages (the number before the first blank of the reply).
    int CheckMessages();
    // TOP n 0: clears `msg` and fills its headers (Subject, From, Date, ...). True on success.
    bool RetrieveHeader(int n, TIdMessage& msg);
    // LIST n: the size after the first blank of the reply, -1 when the reply has none.
    std::int64_t RetrieveMsgSize(int n);
    // RETR n: clears `msg`, spools the message to a temporary file and parses it into headers
    // and parts. A "-ERR" raises nothing and gives false with `msg` left empty. A message that
    // cannot be parsed raises EIdMessageError and leaves `msg` empty.
    bool Retrieve(int n, TIdMessage& msg);
    // DELE n: marks message n deleted. True on success.
    bool Delete(int n);
    // QUIT when connected (its reply read but not required), close, OnDisconnected.
    void Disconnect();

private:
    void quitAndClose();  // QUIT without requiring the reply, close
    void closed();        // the one place raising OnDisconnected

    CommandChannel m_channel;
    std::string m_host;
    int m_port = 110;
    std::string m_username, m_password;
    int m_readTimeout = 0;
};

} // namespace net
