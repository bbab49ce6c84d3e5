#include <net/MessageWriter.h>

#include <net/IdAttachment.h>

#include "QuotedString.h"

#include <runtime/DateTime.h>
#include <runtime/Exceptions.h>
#include <runtime/SysUtils.h>
#include <windows/Windows.h>

#include <cerrno>
#include <cmath>
#include <ctime>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace net {

namespace {

constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineBytes = 57;                 // 76 base64 characters per line
constexpr std::size_t kChunkBytes = kLineBytes * 1152; // about 64 KB read per step

void base64Append(std::string& out, const unsigned char* p, std::size_t n) {
    const std::size_t at = out.size();
    out.resize(at + (n + 2) / 3 * 4);
    char* o = out.data() + at;
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3, o += 4) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
        o[0] = kB64[v >> 18];
        o[1] = kB64[(v >> 12) & 63];
        o[2] = kB64[(v >> 6) & 63];
        o[3] = kB64[v & 63];
    }
    if (i < n) {
        const unsigned v = (p[i] << 16) | (i + 1 < n ? p[i + 1] << 8 : 0);
        o[0] = kB64[v >> 18];
        o[1] = kB64[(v >> 12) & 63];
        o[2] = i + 1 < n ? kB64[(v >> 6) & 63] : '=';
        o[3] = '=';
    }
}

// Appends base64 with CR LF after every 76 characters and after the last line.
void appendBase64Lines(std::string& out, const unsigned char* p, std::size_t n) {
    out.reserve(out.size() + (n + 2) / 3 * 4 + (n / kLineBytes + 1) * 2);
    for (std::size_t i = 0; i < n; i += kLineBytes) {
        base64Append(out, p + i, std::min(kLineBytes, n - i));
        out += "\r\n";
    }
}

std::int64_t base64LinesSize(std::int64_t n) {
    std::int64_t lines = (n + kLineBytes - 1) / kLineBytes;
    return (n + 2) / 3 * 4 + lines * 2;
}

bool isPlainAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

} // namespace

std::string EncodeHeaderText(std::string_view text, std::size_t used) {
    if (isPlainAscii(text))
        return std::string(text);
    // Each word stays within 75 characters: "=?windows-1250?B?" (17) + base64 + "?=" (2).
    constexpr std::size_t kWordBytes = 39; // 52 base64 characters
    std::string out;
    std::size_t lineLen = used;
    // The first word fits the room left on the header's first line.
    std::size_t take = used + 19 + 4 < 76 ? std::min(kWordBytes, (76 - used - 19) / 4 * 3) : kWordBytes;
    for (std::size_t i = 0; i < text.size(); i += take, take = kWordBytes) {
        std::string word = "=?windows-1250?B?";
        base64Append(word, reinterpret_cast<const unsigned char*>(text.data()) + i,
                     std::min(take, text.size() - i));
        word += "?=";
        if (i > 0) {
            if (lineLen + 1 + word.size() > 76) {
                out += "\r\n ";
                lineLen = 1;
            } else {
                out += ' ';
                ++lineLen;
            }
        }
        out += word;
        lineLen += word.size();
    }
    return out;
}

std::string EncodeAddress(const TIdEmailAddressItem& item) {
    if (item.Name().empty())
        return item.Address();
    const std::string name =
        isPlainAscii(item.Name()) ? detail::DisplayName(item.Name()) : EncodeHeaderText(item.Name(), 6);
    return name + " <" + item.Address() + ">";
}

namespace {
// The list's addresses for a header, separated by ", ".
std::string encodeAddressList(const TIdEmailAddressList& list) {
    std::string s;
    for (int i = 0; i < list.Count(); ++i)
        s += (i ? ", " : "") + EncodeAddress(list.Items(i));
    return s;
}
} // namespace

std::string EncodeFileNameParam(std::string_view param, std::string_view name) {
    if (isPlainAscii(name))
        return std::string(param) + "=" + detail::QuoteString(name);
    std::string encoded;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : name) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
            c == '-' || c == '_') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    const std::string prefix = "windows-1250''";
    if (prefix.size() + encoded.size() <= 60)
        return std::string(param) + "*=" + prefix + encoded;
    // Continuations of at most 60 characters, never cutting a %XX apart.
    std::string out;
    std::size_t pos = 0;
    for (int n = 0; pos < encoded.size(); ++n) {
        std::size_t take = std::min<std::size_t>(60, encoded.size() - pos);
        if (pos + take < encoded.size()) {
            if (encoded[pos + take - 1] == '%')
                take -= 1;
            else if (take >= 2 && encoded[pos + take - 2] == '%')
                take -= 2;
        }
        if (n > 0)
            out += ";\r\n\t";
        out += std::string(param) + "*" + std::to_string(n) + "*=" + (n == 0 ? prefix : "") +
               encoded.substr(pos, take);
        pos += take;
    }
    return out;
}

std::string FormatRfc822Date(TDateTime when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tm{};
    if (when == 0) {
        std::time_t now = std::time(nullptr);
        localtime_r(&now, &tm);
    } else {
        int y, m, d, h, n, s, ms;
        rtl::DecodeDate(when, y, m, d);
        rtl::DecodeTime(when, h, n, s, ms);
        tm.tm_year = y - 1900;
        tm.tm_mon = m - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = n;
        tm.tm_sec = s;
        tm.tm_isdst = -1;
        std::time_t t = std::mktime(&tm); // normalises and fills the zone
        localtime_r(&t, &tm);
    }
    long off = tm.tm_gmtoff / 60;
    char sign = off < 0 ? '-' : '+';
    if (off < 0)
        off = -off;
    return rtl::Format("%s, %d %s %d %.2d:%.2d:%.2d %s%.2d%.2d",
                       {kDays[tm.tm_wday], tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour,
                        tm.tm_min, tm.tm_sec, std::string(1, sign), off / 60, off % 60});
}

struct MessageWriter::Source {
    std::string header; // boundary line and part headers, ending with the empty line
    std::string path;   // as given, for error texts
    int fd = -1;
    std::int64_t size = 0;
    ~Source() {
        if (fd >= 0)
            ::close(fd);
    }
};

MessageWriter::MessageWriter(const TIdMessage& msg) : m_msg(msg) {
    std::random_device rd;
    m_boundary = rtl::Format("=_vl_%.8x%.8x", {static_cast<unsigned>(rd()), static_cast<unsigned>(rd())});

    const auto& parts = msg.MessageParts();
    for (int i = 0; i < parts.Count(); ++i) {
        if (!parts.Items(i).IsAttachment())
            continue;
        const auto& att = static_cast<const TIdAttachment&>(parts.Items(i));
        auto src = std::make_unique<Source>();
        src->path = att.StoredPathName();
        std::string host = win::HostPath(src->path);
        src->fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (src->fd < 0 || ::fstat(src->fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            int err = src->fd < 0 ? errno : EISDIR;
            throw rtl::EInOutError(rtl::Format("Cannot open file \"%s\". %s",
                                               {src->path, win::SysErrorMessage(win::ErrorFromErrno(err))}),
                                   static_cast<int>(win::ErrorFromErrno(err)));
        }
        ::posix_fadvise(src->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        src->size = st.st_size;
        const std::string& name = att.FileName();
        src->header = "--" + m_boundary + "\r\n" + "Content-Type: application/octet-stream;\r\n\t" +
                      EncodeFileNameParam("name", name) + "\r\n" + "Content-Transfer-Encoding: base64\r\n" +
                      "Content-Disposition: attachment;\r\n\t" + EncodeFileNameParam("filename", name) +
                      "\r\n\r\n";
        m_sources.push_back(std::move(src));
    }

    std::string h;
    h += "From: " + EncodeAddress(msg.From()) + "\r\n";
    if (msg.ReplyTo().Count() > 0)
        h += "Reply-To: " + encodeAddressList(msg.ReplyTo()) + "\r\n";
    h += "To: " + encodeAddressList(msg.Recipients()) + "\r\n";
    h += "Subject: " + EncodeHeaderText(msg.Subject(), 9) + "\r\n";
    h += "Date: " + FormatRfc822Date(msg.Date()) + "\r\n";
    h += "MIME-Version: 1.0\r\n";

    std::string body;
    if (!msg.Body().empty()) {
        const bool ascii = isPlainAscii(rtl::StringReplaceAll(msg.Body(), "\r\n", ""));
        body = "Content-Type: text/plain; charset=\"windows-1250\"\r\nContent-Transfer-Encoding: " +
               std::string(ascii ? "7bit" : "base64") + "\r\n\r\n";
        if (ascii)
            body += msg.Body() + "\r\n";
        else
            appendBase64Lines(body, reinterpret_cast<const unsigned char*>(msg.Body().data()),
                              msg.Body().size());
    }
    if (m_sources.empty()) {
        h += body.empty() ? "Content-Type: text/plain; charset=\"windows-1250\"\r\n\r\n" : body;
    } else {
        h += "Content-Type: multipart/mixed;\r\n\tboundary=\"" + m_boundary + "\"\r\n\r\n";
        h += "This is a multi-part message in MIME format.\r\n\r\n";
        if (!body.empty())
            h += "--" + m_boundary + "\r\n" + body + "\r\n";
    }
    m_headers = std::move(h);

    m_size = static_cast<std::int64_t>(m_headers.size());
    for (const auto& s : m_sources)
        m_size += static_cast<std::int64_t>(s->header.size()) + base64LinesSize(s->size) + 2;
    if (!m_sources.empty())
        m_size += static_cast<std::int64_t>(m_boundary.size()) + 6;
}

MessageWriter::~MessageWriter() = default;

void MessageWriter::Write(const std::function<void(std::string_view)>& out) {
    out(m_headers);
    std::vector<unsigned char> in(kChunkBytes);
    std::string encoded;
    for (auto& s : m_sources) {
        out(s->header);
        for (;;) {
            std::size_t got = 0;
            // Fill whole chunks so that only the file's last line is short.
            while (got < in.size()) {
                ssize_t n = ::read(s->fd, in.data() + got, in.size() - got);
                if (n == 0)
                    break;
                if (n < 0) {
                    if (errno == EINTR)
                        continue;
                    int err = errno;
                    throw rtl::EInOutError(
                        rtl::Format("Cannot read file \"%s\". %s",
                                    {s->path, win::SysErrorMessage(win::ErrorFromErrno(err))}),
                        static_cast<int>(win::ErrorFromErrno(err)));
                }
                got += static_cast<std::size_t>(n);
            }
            if (got == 0)
                break;
            encoded.clear();
            appendBase64Lines(encoded, in.data(), got);
            out(encoded);
            if (got < in.size())
                break;
        }
        out("\r\n");
    }
    if (!m_sources.empty())
        out("--" + m_boundary + "--\r\n");
}

} // namespace net
