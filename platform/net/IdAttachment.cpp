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

std::string folderOf(const std::string& hostPath) {
    auto slash = hostPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return hostPath.substr(0, slash);
}

// A file with no name yet in `folder`, so that nothing appears under the target name until
// the data is complete. `tmpName` is set when the system cannot make a nameless file.
int openNameless(const std::string& folder, std::string& tmpName) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0)
        return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return -1;
    tmpName = folder + "/.vlnet-save-XXXXXX";
    fd = ::mkostemp(tmpName.data(), O_CLOEXEC);
    if (fd >= 0)
        ::fchmod(fd, 0644);
    return fd;
}

// Gives the finished file its name; fails, leaving nothing, when the name is taken.
bool publish(int fd, const std::string& tmpName, const std::string& target) {
    bool ok;
    if (tmpName.empty()) {
        std::string procPath = "/proc/self/fd/" + std::to_string(fd);
        ok = ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0;
    } else {
        ok = ::link(tmpName.c_str(), target.c_str()) == 0;
        ::unlink(tmpName.c_str());
    }
    return ok;
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
    if (path.empty())
        saveFailed();
    const std::string target = win::HostPath(path);
    if (target.empty() || target.back() == '/' || ::access(target.c_str(), F_OK) == 0)
        saveFailed();
    std::string tmpName;
    int fd = openNameless(folderOf(target), tmpName);
    if (fd < 0)
        saveFailed();

    bool ok = true;
    if (m_content) {
        GMimeStream* out = g_mime_stream_fs_new(fd);
        g_mime_stream_fs_set_owner(GMIME_STREAM_FS(out), FALSE);
        ok = m_content->WriteDecoded(out) && g_mime_stream_flush(out) == 0;
        g_object_unref(out);
    } else {
        int in = ::open(win::HostPath(m_storedPathName).c_str(), O_RDONLY | O_CLOEXEC);
        ok = in >= 0;
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
    }
    if (ok)
        ok = publish(fd, tmpName, target);
    else if (!tmpName.empty())
        ::unlink(tmpName.c_str());
    ::close(fd);
    if (!ok)
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
