// Private profile (INI) files read and edited in place, every other byte of the file kept.
// Nothing is cached: each call reads the file, and each write replaces it whole before the call
// returns, so a crash or a full disk leaves the old file or the new one, never half of one.

#include "WinInternal.h"

#include <runtime/Cp1250.h>
#include <runtime/SysUtils.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <vector>

namespace win {

namespace {

enum class LineKind { Other, Section, Key };

struct Line {
    std::size_t begin = 0;   // offset of the line's first byte
    std::size_t textEnd = 0; // end of its text (before CR LF or LF)
    std::size_t end = 0;     // offset after its terminator
    LineKind kind = LineKind::Other;
    std::string_view name;                 // section or key name, trimmed
    std::size_t nameEnd = 0;               // offset just after the key name as written
    std::optional<std::string_view> value; // trimmed value of a key line with "="
};

// The blanks around names and values of a profile line.
constexpr std::string_view kBlanks = " \t";

std::vector<Line> parseLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line l;
        l.begin = pos;
        std::size_t nl = text.find('\n', pos);
        l.end = nl == std::string_view::npos ? text.size() : nl + 1;
        l.textEnd = nl == std::string_view::npos ? text.size() : nl;
        if (l.textEnd > l.begin && text[l.textEnd - 1] == '\r')
            --l.textEnd;
        std::string_view body = text.substr(l.begin, l.textEnd - l.begin);
        const std::string_view rest = rtl::TrimLeftOf(body, kBlanks);
        const std::size_t lead = body.size() - rest.size();
        if (!rest.empty() && rest[0] == '[') {
            std::size_t close = rest.rfind(']');
            l.kind = LineKind::Section;
            l.name = rtl::TrimOf(
                rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1),
                kBlanks);
        } else if (!rest.empty() && rest[0] != ';') {
            std::size_t eq = rest.find('=');
            l.kind = LineKind::Key;
            std::string_view rawKey = rest.substr(0, eq);
            l.name = rtl::TrimOf(rawKey, kBlanks);
            l.nameEnd = l.begin + lead + rtl::TrimRightOf(rawKey, kBlanks).size();
            if (eq != std::string_view::npos)
                l.value = rtl::TrimOf(rest.substr(eq + 1), kBlanks);
        }
        lines.push_back(l);
        pos = l.end;
    }
    return lines;
}

bool sameName(std::string_view a, std::string_view b) {
    return rtl::AnsiSameText(a, b);
}

// Index of the first section called `name`, and the end of its lines.
bool findSection(const std::vector<Line>& lines, std::string_view name, std::size_t& at, std::size_t& end) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && sameName(lines[i].name, name)) {
            at = i;
            end = i + 1;
            while (end < lines.size() && lines[end].kind != LineKind::Section)
                ++end;
            return true;
        }
    }
    return false;
}

// Index of the first key called `name` among lines [from, to).
std::optional<std::size_t> findKey(const std::vector<Line>& lines, std::size_t from, std::size_t to,
                                   std::string_view name) {
    for (std::size_t i = from; i < to; ++i)
        if (lines[i].kind == LineKind::Key && sameName(lines[i].name, name))
            return i;
    return std::nullopt;
}

// One pair of matching quotes around the value goes, as the platform reads it.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

DWORD copyOut(std::string_view value, char* returned, DWORD size) {
    std::size_t n = std::min<std::size_t>(value.size(), size - 1);
    std::memcpy(returned, value.data(), n);
    returned[n] = '\0';
    return static_cast<DWORD>(n);
}

// A list of names, each ended by a 0 byte, the list by another; when it does not fit, the
// last name is cut and followed by two 0 bytes and the result is the size less two.
DWORD copyList(const std::vector<std::string_view>& names, char* returned, DWORD size) {
    std::string all;
    for (auto n : names) {
        all.append(n);
        all.push_back('\0');
    }
    if (all.size() + 1 <= size) {
        std::memcpy(returned, all.data(), all.size());
        returned[all.size()] = '\0';
        if (all.empty() && size >= 2)
            returned[1] = '\0';
        return static_cast<DWORD>(all.size());
    }
    if (size < 2) {
        returned[0] = '\0';
        return 0;
    }
    std::memcpy(returned, all.data(), size - 2);
    returned[size - 2] = '\0';
    returned[size - 1] = '\0';
    return size - 2;
}

// The file's own line end (that of its first ended line); CR LF for a new file.
std::string lineEndOf(const std::vector<Line>& lines) {
    for (const auto& l : lines)
        if (l.end > l.textEnd)
            return l.textEnd + 1 == l.end ? std::string("\n") : std::string("\r\n");
    return "\r\n";
}

// A profile file in UTF-16 begins with its byte-order mark; the platform reads and writes such
// a file as UTF-16. Its text is edited here as UTF-8, so no character is lost.
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

bool isUtf16(std::string_view content) {
    return content.starts_with(kUtf16Mark);
}

// The names and value of a call in the file's own encoding.
struct Arguments {
    Arguments(bool utf16, const char* section, const char* key, const char* value)
        : m_utf16(utf16), m_section(convert(section)), m_key(convert(key)), m_value(convert(value)) {}
    const char* section() const { return pointer(m_section); }
    const char* key() const { return pointer(m_key); }
    const char* value() const { return pointer(m_value); }
    // A text of the file, for the caller (Windows-1250).
    std::string shown(std::string_view text) const { return m_utf16 ? rtl::utf8ToCp1250(text) : std::string(text); }

  private:
    std::optional<std::string> convert(const char* s) const {
        if (!s)
            return std::nullopt;
        return m_utf16 ? rtl::cp1250ToUtf8(s) : std::string(s);
    }
    static const char* pointer(const std::optional<std::string>& s) { return s ? s->c_str() : nullptr; }

    bool m_utf16;
    std::optional<std::string> m_section, m_key, m_value;
};

} // namespace

namespace detail {

std::string utf16leToUtf8(std::string_view bytes) {
    std::string out;
    std::size_t i = 0;
    while (i + 1 < bytes.size()) {
        char32_t u = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        i += 2;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < bytes.size()) {
            char32_t lo =
                static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                i += 2;
            }
        }
        rtl::appendUtf8(out, u);
    }
    return out;
}

std::string utf8ToUtf16le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto unit = [&](char32_t u) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t cp = more == 0 ? b : b & (0x3F >> more);
        ++i;
        for (int k = 0; k < more && i < text.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

} // namespace detail

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* returned,
                               DWORD size, const char* fileName) {
    if (!returned || size == 0)
        return detail::fail(ERROR_INVALID_PARAMETER, DWORD{0});
    // A default with blanks at its end loses them, as the platform does.
    const std::string_view def = rtl::TrimRightOf(defaultValue ? defaultValue : "", " ");

    std::string content;
    bool haveFile = false;
    if (fileName && *fileName) {
        auto r = detail::resolve(fileName);
        haveFile = !r.badPath && detail::readWholeFile(r.host, content);
    }
    const bool utf16 = isUtf16(content);
    if (utf16)
        content = detail::utf16leToUtf8(std::string_view(content).substr(kUtf16Mark.size()));
    const Arguments args(utf16, section, key, nullptr);
    std::vector<Line> lines = parseLines(content);

    // Names in the caller's code page, each kept until the list is copied out.
    auto listOut = [&](const std::vector<std::string_view>& names) {
        std::vector<std::string> shown;
        for (auto n : names)
            shown.push_back(args.shown(n));
        return copyList(std::vector<std::string_view>(shown.begin(), shown.end()), returned, size);
    };
    if (!section) {
        std::vector<std::string_view> names;
        for (const auto& l : lines)
            if (l.kind == LineKind::Section)
                names.push_back(l.name);
        SetLastError(haveFile ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        return listOut(names);
    }
    std::size_t at = 0, end = 0;
    const bool found = findSection(lines, args.section(), at, end);
    if (!key) {
        std::vector<std::string_view> names;
        if (found)
            for (std::size_t i = at + 1; i < end; ++i)
                if (lines[i].kind == LineKind::Key)
                    names.push_back(lines[i].name);
        SetLastError(found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
        return listOut(names);
    }
    if (found) {
        auto k = findKey(lines, at + 1, end, args.key());
        if (k && lines[*k].value) {
            SetLastError(ERROR_SUCCESS);
            return copyOut(args.shown(unquote(*lines[*k].value)), returned, size);
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return copyOut(def, returned, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
    // All nulls asks the platform to flush its cached copy; there is none, every write is on disk.
    if (!section && !key && !value) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    if (!section || !fileName || !*fileName)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    auto r = detail::resolve(fileName);
    if (r.badPath)
        return detail::fail(r.badPath, FALSE);

    std::string content;
    struct stat st;
    const bool exists = ::stat(r.host.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return detail::fail(ERROR_ACCESS_DENIED, FALSE);
        if (detail::attributesOf(r.host, detail::hostBaseName(r.host), st) & FILE_ATTRIBUTE_READONLY)
            return detail::fail(ERROR_ACCESS_DENIED, FALSE);
        int fd = ::open(r.host.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return detail::fail(ErrorFromErrno(errno), FALSE);
        // Another open that denies writing keeps the file as it is.
        const bool denied = detail::otherHolds(fd, detail::kDeniesWrite);
        const bool read = !denied && detail::readWholeFile(fd, content);
        const int err = errno;
        ::close(fd);
        if (denied)
            return detail::fail(ERROR_SHARING_VIOLATION, FALSE);
        if (!read)
            return detail::fail(ErrorFromErrno(err), FALSE);
    } else {
        struct stat parent;
        if (::stat(detail::hostParent(r.host).c_str(), &parent) != 0 || !S_ISDIR(parent.st_mode))
            return detail::fail(ERROR_PATH_NOT_FOUND, FALSE);
        if (DWORD bad = detail::checkNewName(fileName))
            return detail::fail(bad, FALSE);
    }

    const bool utf16 = isUtf16(content);
    if (utf16)
        content = detail::utf16leToUtf8(std::string_view(content).substr(kUtf16Mark.size()));
    const Arguments args(utf16, section, key, value);
    section = args.section();
    key = args.key();
    value = args.value();

    std::vector<Line> lines = parseLines(content);
    const std::string eol = lineEndOf(lines);
    std::string out;
    std::size_t at = 0, end = 0;
    const bool found = findSection(lines, section, at, end);

    if (!key) {
        if (!found) {
            SetLastError(ERROR_SUCCESS);
            return TRUE;
        }
        out = content.substr(0, lines[at].begin) +
              content.substr(end < lines.size() ? lines[end].begin : content.size());
    } else if (!value) {
        auto k = found ? findKey(lines, at + 1, end, key) : std::nullopt;
        if (!k) {
            SetLastError(ERROR_SUCCESS);
            return TRUE;
        }
        out = content.substr(0, lines[*k].begin) + content.substr(lines[*k].end);
    } else if (!found) {
        out = content;
        if (!out.empty() && out.back() != '\n')
            out += eol;
        out += std::string("[") + section + "]" + eol + key + "=" + value + eol;
    } else if (auto k = findKey(lines, at + 1, end, key)) {
        // The key keeps its spelling and indentation; the value after "=" is replaced.
        const Line& l = lines[*k];
        out = content.substr(0, l.nameEnd) + "=" + value + content.substr(l.textEnd);
    } else {
        // A new key goes after the section's last non-blank line.
        std::size_t last = at;
        for (std::size_t i = at + 1; i < end; ++i)
            if (!rtl::TrimOf(
                     std::string_view(content).substr(lines[i].begin, lines[i].textEnd - lines[i].begin),
                     kBlanks)
                     .empty())
                last = i;
        const Line& l = lines[last];
        out = content.substr(0, l.end);
        if (l.end == l.textEnd)
            out += eol;
        out += std::string(key) + "=" + value + eol + content.substr(l.end);
    }

    if (utf16)
        out = std::string(kUtf16Mark) + detail::utf8ToUtf16le(out);
    DWORD result = detail::replaceFileAtomically(r.host, out);
    if (result != ERROR_SUCCESS)
        return detail::fail(result, FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace win
