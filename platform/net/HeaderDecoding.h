#pragma once

// Header values decoded from their raw form, where GMime's decoded form loses something: the
// subject's blanks at either end, and a NUL inside an RFC 2231 parameter.

#include <optional>
#include <string>
#include <string_view>

namespace net::detail {

// A header's raw value (as GMime keeps it: after the colon, folded, with its line end) as UTF-8
// text: unfolded, the one blank after the colon dropped, RFC 2047 encoded words decoded, and
// nothing else trimmed. 8-bit text that is not UTF-8 is taken as Windows-1250.
std::string DecodeHeaderText(std::string_view raw);

// The value of parameter `name` of a raw structured header value (Content-Disposition,
// Content-Type) when the header gives it in the RFC 2231 form ("name*=", "name*0*=", ...),
// decoded to UTF-8 bytes as they are, a NUL included; nothing when it has no such form.
std::optional<std::string> Rfc2231Parameter(std::string_view raw, std::string_view name);

} // namespace net::detail
