#pragma once

// POP3 client: one method per protocol command. Every command but RETR requires "+OK"; a
// "-ERR" raises EIdProtocolReplyError with code 2 and the server's text after "-ERR ".
// A line longer than MaxLineLength raises EIdMaxLineLengthExceeded under maException.
// The server closing while a reply is due raises EIdConnClosedGracefully (no event).
// Destroying a connected client closes the socket without QUIT and without an event.

#include <net/IdMessage.h>
#include <net/IdTCPClient.h>

#include <cstdint>

namespace net {

class TIdPOP3 : public TIdTCPClient {
  public:
    TIdPOP3() : TIdTCPClient(110) {}

    // Connects (timeoutMs < 0: no limit), reads the greeting, sends USER and PASS. A refused
    // greeting, USER or PASS sends QUIT, closes, raises OnDisconnected and then
    // EIdProtocolReplyError(2, server text). EIdSocketError for the TCP connection (no event).
    void Connect(int timeoutMs = -1);
    // STAT: the number of messages (the number before the first blank of the reply). A "+OK"
    // without a number there raises EIdException "'<text>' is not a valid integer value", as a
    // reply the client cannot read is no refusal.
    int CheckMessages();
    // TOP n 0: clears `msg` and fills its headers (Subject, From, Date, ...). Always true: a
    // "-ERR" raises EIdProtocolReplyError(2), headers that cannot be read EIdMessageError.
    bool RetrieveHeader(int n, TIdMessage& msg);
    // LIST n: the size after the first blank of the reply, -1 when the reply has none.
    std::int64_t RetrieveMsgSize(int n);
    // RETR n: clears `msg`, spools the message to a temporary file and parses it into headers
    // and parts. A "-ERR" raises nothing and gives false with `msg` left empty. A message that
    // cannot be parsed raises EIdMessageError and leaves `msg` empty.
    bool Retrieve(int n, TIdMessage& msg);
    // DELE n: marks message n deleted. Always true: a "-ERR" raises EIdProtocolReplyError(2).
    bool Delete(int n);

  private:
    // Reads the dotted data that follows TOP's or RETR's "+OK" into a temporary file and parses
    // it into `msg`. Raises EIdException "Cannot create a temporary file." when there is no
    // spool, EIdMessageError for a message that cannot be parsed.
    void readMessage(TIdMessage& msg, bool headersOnly);
    void readQuitReply() override;
};

} // namespace net
