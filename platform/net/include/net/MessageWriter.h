#pragma once

// Writes a composed TIdMessage as MIME text (headers, multipart/mixed with one base64 part per
// attachment), streaming each attachment file in chunks: never a whole file in memory.

#include <net/IdMessage.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// RFC 2047 form of a header text (Windows-1250 bytes): as it is when it is printable ASCII,
// otherwise "=?windows-1250?B?...?=" words, folded so no line passes 76 characters.
// `used` is the length already taken on the first line (e.g. strlen("Subject: ")).
std::string EncodeHeaderText(std::string_view text, std::size_t used);
// An address for a header: `address`, `Name <address>`, `"Name, \"N\"" <address>` (quoted, with
// backslashes before quotes and backslashes, when the name holds an address special) or
// `=?...?= <address>` for a name outside printable ASCII.
std::string EncodeAddress(const TIdEmailAddressItem& item);
// The parameter `param` for a file name: `filename="a \"b\".zip"` (a quoted string) for printable
// ASCII, otherwise the RFC 2231 form `filename*=windows-1250''%..` (split into filename*0*,
// filename*1* ... when long).
std::string EncodeFileNameParam(std::string_view param, std::string_view name);
// "Tue, 10 Dec 2024 14:03:00 +0100" for a TDateTime in local time (0: now).
std::string FormatRfc822Date(TDateTime when);

class MessageWriter {
  public:
    // Opens every attachment's file (through the Windows layer's path mapping). Raises
    // rtl::EInOutError "Cannot open file \"<path>\". <system text>" for one that cannot be read.
    explicit MessageWriter(const TIdMessage& msg);
    ~MessageWriter();

    // The bytes the message will have (headers, boundaries, base64 with CR LF line breaks).
    std::int64_t Size() const { return m_size; }
    // Writes the message; `out` receives chunks of CR LF text (not dot-stuffed), ending with
    // a line break. Raises rtl::EInOutError when a file cannot be read.
    void Write(const std::function<void(std::string_view)>& out);

  private:
    struct Source;
    const TIdMessage& m_msg;
    std::string m_boundary;
    std::string m_headers;
    std::vector<std::unique_ptr<Source>> m_sources;
    std::int64_t m_size = 0;
};

} // namespace net
