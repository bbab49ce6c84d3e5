#pragma once

// The command/response engine under SMTP, POP3 and FTP: one TCP connection, one command line
// out, one reply in (SMTP's and FTP's numbered, possibly multi-line replies; POP3's +OK/-ERR
// lines and dotted multi-line data). The protocols sit on top and decide what a reply means.

#include <net/ReplyParsers.h>
#include <net/TcpClient.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

struct SmtpReply {
    int code = 0;
    std::vector<std::string> lines; // texts of every line, without the codes
    std::string Text() const;       // lines joined by CR LF
};

class CommandChannel {
  public:
    TcpClient& Socket() { return m_socket; }
    const TcpClient& Socket() const { return m_socket; }
    std::size_t MaxLineLength() const { return m_maxLineLength; }
    void SetMaxLineLength(std::size_t n) { m_maxLineLength = n; }
    TIdMaxLineAction MaxLineAction() const { return m_maxLineAction; }
    void SetMaxLineAction(TIdMaxLineAction a) { m_maxLineAction = a; }

    // One line, valid until the next read (see TcpClient::ReadLine).
    std::string_view ReadLine() { return m_socket.ReadLine(m_maxLineLength, m_maxLineAction); }
    void SendLine(std::string_view line) { m_socket.WriteLine(line); }

    // Reads one whole SMTP reply. A line that is no reply raises EIdProtocolReplyError with
    // code 0 and that line as text.
    SmtpReply ReadSmtpReply();
    // Sends `command` (when not empty) and reads the reply; raises EIdProtocolReplyError
    // (code, text) unless the code is one of `accepted`.
    SmtpReply SmtpCommand(std::string_view command, std::initializer_list<int> accepted);

    // Reads one whole FTP reply (FtpReplyReader). A line that is no reply, and a reply of more
    // than FtpReplyReader::kMaxLines lines, raise EIdProtocolReplyError with code 0 and that
    // line as text.
    FtpReply ReadFtpReply();

    // Reads one POP3 status line (a line that is neither +OK nor -ERR counts as -ERR).
    Pop3Status ReadPop3Status();
    // Sends `command` and reads the status line; raises EIdProtocolReplyError(2, text) on -ERR.
    std::string Pop3Command(std::string_view command);
    // Reads a dotted multi-line body up to its "." line, handing each unstuffed line (without
    // line break) to `sink`.
    void ReadPop3Data(const std::function<void(std::string_view line)>& sink);

  private:
    TcpClient m_socket;
    std::size_t m_maxLineLength = 16384;
    TIdMaxLineAction m_maxLineAction = maException;
};

} // namespace net
