#pragma once

// The mail components' errors, one small hierarchy as the callers catch them:
//   rtl::Exception
//     EIdException                  any failure of the components ("Error saving attachment.")
//       EIdSocketError              a socket failure, with its WinSock number (LastError())
//       EIdProtocolReplyError       a refused command, with the reply code (ReplyErrorCode())
//       EIdConnClosedGracefully     the server closed while a reply was still due
//       EIdReadTimeout              ReadTimeout elapsed without the server saying anything
//       EIdMaxLineLengthExceeded    a line longer than MaxLineLength under maException
//       EIdMessageError             a received message that cannot be parsed (truncated, malformed)
// Every text is Windows-1250.

#include <runtime/Exceptions.h>

#include <string>

namespace net {

class EIdException : public rtl::Exception {
  public:
    using rtl::Exception::Exception;
};

// A socket failure. Text: "Socket Error # <n>", CR LF, the stack's English text for <n>
// ("Socket Error # 10061\r\nConnection refused.").
class EIdSocketError : public EIdException {
  public:
    explicit EIdSocketError(int winsockError);
    int LastError() const noexcept { return m_lastError; }

    // "Connection refused." for 10061; "Unknown error." for a number without a text.
    static std::string StackText(int winsockError);

  private:
    int m_lastError;
};

// A reply that refuses a command. SMTP: the reply's number (550) and its text without the
// number ("5.1.1 User unknown"; lines of a multi-line reply joined by CR LF). POP3: code 2 for
// "-ERR" where "+OK" was required, and the text after "-ERR " ("[AUTH] Authentication failed.").
class EIdProtocolReplyError : public EIdException {
  public:
    EIdProtocolReplyError(int code, std::string text) : EIdException(std::move(text)), m_code(code) {}
    int ReplyErrorCode() const noexcept { return m_code; }

  private:
    int m_code;
};

// "Connection Closed Gracefully.": the peer closed the connection where more was expected.
class EIdConnClosedGracefully : public EIdException {
  public:
    EIdConnClosedGracefully() : EIdException("Connection Closed Gracefully.") {}
};

// "Read timed out.": ReadTimeout (> 0) elapsed while waiting for the server.
class EIdReadTimeout : public EIdException {
  public:
    EIdReadTimeout() : EIdException("Read timed out.") {}
};

// "Max line length exceeded.".
class EIdMaxLineLengthExceeded : public EIdException {
  public:
    EIdMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

// A received message that is truncated or malformed beyond use ("Message is malformed.").
class EIdMessageError : public EIdException {
  public:
    using EIdException::EIdException;
};

} // namespace net
