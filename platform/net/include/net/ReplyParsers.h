#pragma once

// Pure parsers of server replies, shared by the command engine and the fuzz target.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

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

} // namespace net
