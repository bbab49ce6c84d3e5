#pragma once

// Pure parsers of server replies, shared by the command engine and the fuzz target.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// The lines of a reply joined by CR LF, as a failure's text shows them.
std::string JoinReplyLines(const std::vector<std::string>& lines);

// One line of an SMTP reply: "250-text" (more lines follow) or "250 text" (last line).
struct SmtpReplyLine {
    int code = 0;      // 100..599
    bool more = false; // '-' after the code
    std::string text;  // after the separator
};
// nullopt when the line does not start with three digits followed by ' ', '-' or nothing.
std::optional<SmtpReplyLine> ParseSmtpReplyLine(std::string_view line);

// A POP3 status line: "+OK text" or "-ERR text" (the text may be empty).
struct Pop3Status {
    bool ok = false;
    std::string text; // after "+OK " / "-ERR "
};
// nullopt for a line that starts with neither "+OK" nor "-ERR" (letter case ignored).
std::optional<Pop3Status> ParsePop3Status(std::string_view line);

// STAT's count: the number before the first blank of the text after "+OK" ("2 320" -> 2);
// nullopt when it is not a number.
std::optional<std::int64_t> ParseStatCount(std::string_view okText);
// LIST n's size: the number after the first blank ("1 120" -> 120); -1 when there is none.
std::int64_t ParseListSize(std::string_view okText);

// Removes the transparency dot of one POP3 data line; true for the terminating ".".
bool UnstuffPop3Line(std::string_view& line);

// One FTP reply: "220 text", or "220-text" followed by any lines up to one that starts with
// the same code and a blank (or is only that code).
struct FtpReply {
    int code = 0;
    std::vector<std::string> lines; // every line as the server sent it, codes included
    std::string Text() const;       // lines joined by CR LF ("550 Failed to open file.")
};

// Builds one FTP reply from the lines fed to it.
class FtpReplyReader {
  public:
    enum Result { NeedMore, Complete, NotAReply };
    // A reply longer than this many lines counts as no reply.
    static constexpr std::size_t kMaxLines = 1000;

    // Takes the next line (without its line break). NotAReply for a first line that does not
    // start with a code from 100 to 599 and ' ', '-' or nothing, and for an endless reply.
    Result Feed(std::string_view line);
    const FtpReply& Reply() const { return m_reply; }

  private:
    FtpReply m_reply;
};

// The size a transfer reply announces: the number in the last "(<n> bytes)" of the text
// ("150 Opening BINARY mode data connection for a.inf (43 bytes)." -> 43); 0 when none.
std::int64_t ParseFtpTransferSize(std::string_view text);

} // namespace net
