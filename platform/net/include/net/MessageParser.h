#pragma once

// Fills a TIdMessage from received MIME text with GMime: subject, sender, date, reply-to,
// recipients (decoded to Windows-1250), text parts and attachments (decoded only when saved).

#include <net/IdMessage.h>

#include <string_view>

namespace net {

// Parses the message stored in the file descriptor `fd` (seekable, position 0; taken over and
// closed by the parser when the message is dropped). `headersOnly`: fill the headers only.
// Raises EIdMessageError "Message is malformed." for a message that is truncated or whose
// structure GMime cannot follow; `msg` is then left cleared.
void ParseMessageFile(int fd, TIdMessage& msg, bool headersOnly);
// The same for bytes in memory (copied to a temporary file first).
void ParseMessageBytes(std::string_view bytes, TIdMessage& msg, bool headersOnly);

// A nameless read/write temporary file under $TMPDIR (or /tmp), for spooling a message; -1 on failure.
int OpenSpoolFile();
// Writes all of `bytes` to the spool; raises EIdException "Cannot write a temporary file.".
void WriteSpool(int fd, std::string_view bytes);

} // namespace net
