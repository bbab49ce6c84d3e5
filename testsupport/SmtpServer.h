#pragma once

// A real SMTP server on loopback: aiosmtpd (/usr/bin/python3 -m aiosmtpd) with our handler
// (smtp_store.py) that keeps each message's raw bytes, envelope and EHLO name in a folder.
// Read back with Messages(); each message is also parsed independently by Python's `email`
// package (mail_inspect.py), so tests check what another MIME reader makes of it.

#include "TestSupport.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vltest {

struct SmtpServerOptions {
    int port = 25;
    // Recipient address (as in RCPT TO, letter case ignored) -> whole reply line to refuse it
    // with, e.g. "550 5.1.1 User unknown".
    std::map<std::string, std::string> refuseRecipients;
    // Whole reply line for EHLO and HELO (e.g. "554 5.7.1 Go away"); empty accepts them.
    std::string refuseHello;
    // Largest message accepted in bytes; 0 keeps aiosmtpd's 33,554,432.
    std::int64_t sizeLimit = 0;
};

// What Python's email package reads out of a received message. Texts are UTF-8.
struct ParsedAttachment {
    std::string fileName;    // Content-Disposition's filename (get_filename() without one), decoded
    std::string contentType; // get_content_type()
    std::int64_t size = 0;   // decoded bytes
    std::string sha256;      // of the decoded bytes, lowercase hex
    std::string typeName;    // the Content-Type's name parameter, decoded ("" without one)
};
struct ParsedMail {
    std::string subject; // decoded
    std::string from;    // decoded header text
    std::string to;
    std::string replyTo;
    std::string contentType;                   // of the top level
    std::vector<ParsedAttachment> attachments; // in message order
    int textParts = 0;                         // non-attachment leaf parts
    std::vector<std::string> defects;          // defect class names; "Header: text" for a part's headers
};

struct ReceivedMail {
    std::string raw;                  // the bytes as received (after the dot-unstuffing)
    std::string mailFrom;             // MAIL FROM
    std::vector<std::string> rcptTos; // accepted RCPT TO, in order
    std::string heloName;             // the EHLO/HELO name
    ParsedMail parsed;
};

class SmtpServer {
  public:
    explicit SmtpServer(SmtpServerOptions options = {});
    ~SmtpServer();

    // False when the server did not come up (see Log()).
    bool Started() const { return m_started; }
    int Port() const { return m_options.port; }
    const std::string& Folder() const { return m_dir.Path(); }
    std::string Log() const;

    // The messages received so far, in order of arrival.
    std::vector<ReceivedMail> Messages() const;
    std::size_t MessageCount() const;
    // Waits up to timeoutMs for at least n messages.
    bool WaitForMessages(std::size_t n, int timeoutMs) const;

    // Parses raw message bytes with Python's email package (the same check as Messages()).
    static ParsedMail Inspect(const std::string& raw);

  private:
    static ParsedMail inspectFile(const std::string& path);

    SmtpServerOptions m_options;
    TempDir m_dir{"vlsmtp"};
    std::unique_ptr<ChildProcess> m_process;
    bool m_started = false;
};

} // namespace vltest
