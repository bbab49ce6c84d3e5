#include <net/ReplyParsers.h>

#include <runtime/SysUtils.h>

#include <charconv>

namespace net {

namespace {
bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && rtl::UpperCase(s.substr(0, prefix.size())) == prefix;
}

std::optional<std::int64_t> leadingNumber(std::string_view s) {
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p == s.data())
        return std::nullopt;
    if (p != s.data() + s.size() && *p != ' ' && *p != '\t')
        return std::nullopt;
    return v;
}
} // namespace

std::optional<SmtpReplyLine> ParseSmtpReplyLine(std::string_view line) {
    if (line.size() < 3)
        return std::nullopt;
    for (int i = 0; i < 3; ++i)
        if (line[i] < '0' || line[i] > '9')
            return std::nullopt;
    SmtpReplyLine r;
    r.code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (r.code < 100 || r.code > 599)
        return std::nullopt;
    if (line.size() == 3)
        return r;
    if (line[3] != ' ' && line[3] != '-')
        return std::nullopt;
    r.more = line[3] == '-';
    r.text = std::string(line.substr(4));
    return r;
}

std::optional<Pop3Status> ParsePop3Status(std::string_view line) {
    Pop3Status s;
    std::size_t skip;
    if (startsWithNoCase(line, "+OK")) {
        s.ok = true;
        skip = 3;
    } else if (startsWithNoCase(line, "-ERR")) {
        skip = 4;
    } else {
        return std::nullopt;
    }
    line.remove_prefix(skip);
    if (!line.empty() && line[0] == ' ')
        line.remove_prefix(1);
    s.text = std::string(line);
    return s;
}

std::optional<std::int64_t> ParseStatCount(std::string_view okText) {
    return leadingNumber(okText.substr(0, okText.find(' ')));
}

std::int64_t ParseListSize(std::string_view okText) {
    auto blank = okText.find(' ');
    if (blank == std::string_view::npos)
        return -1;
    auto rest = okText.substr(blank + 1);
    auto v = leadingNumber(rest.substr(0, rest.find(' ')));
    return v ? *v : -1;
}

bool UnstuffPop3Line(std::string_view& line) {
    if (line.empty() || line[0] != '.')
        return false;
    if (line.size() == 1)
        return true;
    line.remove_prefix(1);
    return false;
}

std::string JoinReplyLines(const std::vector<std::string>& lines) {
    std::string t;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            t += "\r\n";
        t += lines[i];
    }
    return t;
}

std::string FtpReply::Text() const {
    return JoinReplyLines(lines);
}

FtpReplyReader::Result FtpReplyReader::Feed(std::string_view line) {
    if (m_reply.lines.empty()) {
        auto first = ParseSmtpReplyLine(line);
        if (!first)
            return NotAReply;
        m_reply.code = first->code;
        m_reply.lines.emplace_back(line);
        return first->more ? NeedMore : Complete;
    }
    if (m_reply.lines.size() >= kMaxLines)
        return NotAReply;
    m_reply.lines.emplace_back(line);
    // Lines in between may hold anything, numbers included; only "<code> " ends the reply.
    const bool sameCode = line.size() >= 3 && line[0] - '0' == m_reply.code / 100 &&
                          line[1] - '0' == m_reply.code / 10 % 10 && line[2] - '0' == m_reply.code % 10;
    return sameCode && (line.size() == 3 || line[3] == ' ') ? Complete : NeedMore;
}

std::int64_t ParseFtpTransferSize(std::string_view text) {
    for (auto close = text.rfind(" bytes)"); close != std::string_view::npos && close > 0;
         close = text.rfind(" bytes)", close - 1)) {
        const auto open = text.rfind('(', close);
        if (open == std::string_view::npos)
            return 0;
        std::string_view digits = text.substr(open + 1, close - open - 1);
        std::int64_t v = 0;
        auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (ec == std::errc() && p == digits.data() + digits.size() && !digits.empty() && v >= 0)
            return v;
    }
    return 0;
}

} // namespace net
