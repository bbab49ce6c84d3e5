#include "QuotedString.h"

namespace net::detail {

std::string QuoteString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string UnquoteString(std::string_view quoted) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return std::string(quoted);
    std::string_view inner = quoted.substr(1, quoted.size() - 2);
    std::string out;
    out.reserve(inner.size());
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\' && i + 1 < inner.size())
            ++i;
        out += inner[i];
    }
    return out;
}

std::string DisplayName(std::string_view name) {
    if (name.find_first_of("()<>[]:;@\\,.\"") != std::string_view::npos)
        return QuoteString(name);
    return std::string(name);
}

} // namespace net::detail
