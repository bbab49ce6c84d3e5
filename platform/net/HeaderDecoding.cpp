#include "HeaderDecoding.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <glib.h>

#include <map>

namespace net::detail {

namespace {

// UTF-8 throughout; a NUL counts as the character it is (GLib's check refuses it).
bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i <= s.size()) {
        std::size_t nul = s.find('\0', i);
        if (nul == std::string_view::npos)
            nul = s.size();
        if (!g_utf8_validate(s.data() + i, static_cast<gssize>(nul - i), nullptr))
            return false;
        i = nul + 1;
    }
    return true;
}

// `bytes` in `charset` as UTF-8; nothing when the charset is unknown or the bytes do not fit it.
std::optional<std::string> toUtf8(std::string_view bytes, std::string charset) {
    if (const auto star = charset.find('*'); star != std::string::npos)
        charset.resize(star); // an RFC 2231 language
    const std::string upper = rtl::UpperCase(charset);
    if (upper == "UTF-8" || upper == "US-ASCII" || upper.empty())
        return isUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    gsize written = 0;
    gchar* out = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset.c_str(), nullptr,
                           &written, nullptr);
    if (!out)
        return std::nullopt;
    std::string s(out, written);
    g_free(out);
    return s;
}

std::string base64Decode(std::string_view text) {
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else
            continue;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
    return out;
}

// "=XX" escapes (Q encoding with "_" for a blank) or "%XX" escapes (RFC 2231).
std::string unescape(std::string_view text, char escape, bool underscoreIsBlank) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == escape && i + 2 < text.size() && rtl::HexDigitValue(text[i + 1]) >= 0 &&
            rtl::HexDigitValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(rtl::HexDigitValue(text[i + 1]) * 16 + rtl::HexDigitValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(underscoreIsBlank && c == '_' ? ' ' : c);
        }
    }
    return out;
}

// The encoded word "=?charset?B|Q?text?=" at the start of `s`, decoded; `used` is its length.
std::optional<std::string> encodedWord(std::string_view s, std::size_t& used) {
    if (!s.starts_with("=?"))
        return std::nullopt;
    const std::size_t q1 = s.find('?', 2);
    if (q1 == std::string_view::npos || q1 + 2 >= s.size() || s[q1 + 2] != '?')
        return std::nullopt;
    const std::size_t end = s.find("?=", q1 + 3);
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view text = s.substr(q1 + 3, end - q1 - 3);
    if (text.find_first_of(" \t") != std::string_view::npos)
        return std::nullopt;
    const char kind = static_cast<char>(s[q1 + 1] | 0x20);
    std::string bytes;
    if (kind == 'b')
        bytes = base64Decode(text);
    else if (kind == 'q')
        bytes = unescape(text, '=', true);
    else
        return std::nullopt;
    auto utf8 = toUtf8(bytes, std::string(s.substr(2, q1 - 2)));
    if (utf8)
        used = end + 2;
    return utf8;
}

std::string plainText(std::string_view s) {
    return isUtf8(s) ? std::string(s) : rtl::cp1250ToUtf8(s);
}

} // namespace

std::string DecodeHeaderText(std::string_view raw) {
    // Unfolding takes out the line breaks only; the blanks that follow them stay.
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        if (raw[i] == '\n')
            continue;
        text.push_back(raw[i]);
    }
    std::string_view s(text);
    if (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);

    std::string out;
    std::string pendingBlanks; // blanks after an encoded word: dropped when another follows
    bool afterWord = false;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t used = 0;
        const bool wordStart = i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t';
        if (auto word = wordStart ? encodedWord(s.substr(i), used) : std::nullopt) {
            if (!afterWord)
                out += pendingBlanks;
            pendingBlanks.clear();
            out += *word;
            i += used;
            afterWord = true;
            continue;
        }
        if (s[i] == ' ' || s[i] == '\t') {
            pendingBlanks.push_back(s[i++]);
            continue;
        }
        out += pendingBlanks;
        pendingBlanks.clear();
        afterWord = false;
        std::size_t next = s.find_first_of(" \t", i);
        if (next == std::string_view::npos)
            next = s.size();
        out += plainText(s.substr(i, next - i));
        i = next;
    }
    return out + pendingBlanks;
}

std::optional<std::string> Rfc2231Parameter(std::string_view raw, std::string_view name) {
    // Sections by number: (encoded?, value); the plain "name*=" is section 0.
    std::map<int, std::pair<bool, std::string>> sections;
    std::size_t i = 0;
    while (i < raw.size()) {
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos)
            break;
        i = semi + 1;
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\r' || raw[i] == '\n'))
            ++i;
        const std::size_t eq = raw.find('=', i);
        if (eq == std::string_view::npos)
            break;
        const std::string_view key = rtl::TrimRightOf(raw.substr(i, eq - i), " \t");
        std::size_t v = eq + 1;
        while (v < raw.size() && (raw[v] == ' ' || raw[v] == '\t'))
            ++v;
        std::string value;
        if (v < raw.size() && raw[v] == '"') {
            ++v;
            while (v < raw.size() && raw[v] != '"') {
                if (raw[v] == '\\' && v + 1 < raw.size())
                    ++v;
                value.push_back(raw[v++]);
            }
            ++v;
        } else {
            const std::size_t end = raw.find_first_of("; \t\r\n", v);
            value = std::string(raw.substr(v, end == std::string_view::npos ? std::string_view::npos : end - v));
            v = end == std::string_view::npos ? raw.size() : end;
        }
        i = v;
        if (key.size() <= name.size() || !rtl::AnsiSameText(key.substr(0, name.size()), name) ||
            key[name.size()] != '*')
            continue;
        std::string_view rest = key.substr(name.size() + 1);
        const bool encoded = rest.empty() || rest.back() == '*';
        if (!rest.empty() && rest.back() == '*')
            rest.remove_suffix(1);
        int number = 0;
        for (char c : rest) {
            if (c < '0' || c > '9' || number > 999) {
                number = -1;
                break;
            }
            number = number * 10 + (c - '0');
        }
        if (number >= 0)
            sections.emplace(number, std::make_pair(encoded, std::move(value)));
    }
    if (sections.empty() || sections.begin()->first != 0)
        return std::nullopt;
    // The first section names the charset and language: charset'language'text.
    std::string charset;
    std::string bytes;
    int expected = 0;
    for (auto& [number, section] : sections) {
        if (number != expected++)
            break; // a gap ends the value, as the sections after it cannot be placed
        std::string_view text = section.second;
        if (number == 0 && section.first) {
            const std::size_t a = text.find('\'');
            const std::size_t b = a == std::string_view::npos ? a : text.find('\'', a + 1);
            if (b != std::string_view::npos) {
                charset = std::string(text.substr(0, a));
                text.remove_prefix(b + 1);
            }
        }
        bytes += section.first ? unescape(text, '%', false) : std::string(text);
    }
    if (auto utf8 = toUtf8(bytes, charset))
        return utf8;
    return plainText(bytes);
}

} // namespace net::detail
