#include <net/IdAttachment.h>

// The Windows layer declares TRUE and FALSE as constants, so it comes before GLib's macros.
#include <windows/Windows.h>

#include <net/IdException.h>
#include <net/IdMessageParts.h>
#include <net/ReceivedContent.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace net {

namespace {

[[noreturn]] void saveFailed() {
    throw EIdException("Error saving attachment.");
}

} // namespace

TIdAttachment& TIdAttachment::Create(TIdMessageParts& parts, std::string_view path) {
    auto att = std::make_unique<TIdAttachment>();
    att->m_storedPathName = path;
    auto cut = path.find_last_of("\\/:");
    att->m_fileName = std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
    att->SetContentType("application/octet-stream");
    return parts.Add(std::move(att));
}

TIdAttachment::TIdAttachment() = default;
TIdAttachment::~TIdAttachment() = default;

void TIdAttachment::SetReceivedContent(std::shared_ptr<ReceivedContent> c) {
    m_content = std::move(c);
}

void TIdAttachment::SaveToFile(std::string_view path) const {
    const bool saved = win::WriteNewFile(path, [&](int fd) {
        if (m_content) {
            GMimeStream* out = g_mime_stream_fs_new(fd);
            g_mime_stream_fs_set_owner(GMIME_STREAM_FS(out), FALSE);
            const bool ok = m_content->WriteDecoded(out) && g_mime_stream_flush(out) == 0;
            g_object_unref(out);
            return ok;
        }
        int in = ::open(win::HostPath(m_storedPathName).c_str(), O_RDONLY | O_CLOEXEC);
        bool ok = in >= 0;
        char buf[65536];
        while (ok) {
            ssize_t n = ::read(in, buf, sizeof buf);
            if (n == 0)
                break;
            if (n < 0 || ::write(fd, buf, static_cast<std::size_t>(n)) != n)
                ok = false;
        }
        if (in >= 0)
            ::close(in);
        return ok;
    });
    if (!saved)
        saveFailed();
}

std::int64_t TIdAttachment::DecodedSize() const {
    if (!m_content)
        return -1;
    GMimeStream* null = g_mime_stream_null_new();
    m_content->WriteDecoded(null);
    std::int64_t n = static_cast<std::int64_t>(GMIME_STREAM_NULL(null)->written);
    g_object_unref(null);
    return n;
}

} // namespace net
