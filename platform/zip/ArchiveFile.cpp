#include "ArchiveFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace ziplib {

namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;

bool writeAll(int fd, const char* bytes, std::size_t n) {
    while (n > 0) {
        ssize_t done = ::write(fd, bytes, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

} // namespace

int CreateBeside(const std::string& hostPath, std::string& tempPath) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t n = seed + counter.fetch_add(0x9E3779B97F4A7C15ull);
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".~vl%06x", static_cast<unsigned>((n ^ (n >> 29)) & 0xFFFFFF));
        tempPath = hostPath + suffix;
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

ArchiveFile::~ArchiveFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
}

bool ArchiveFile::create(const std::string& finalHostPath) {
    m_final = finalHostPath;
    m_fd = CreateBeside(finalHostPath, m_temp);
    if (m_fd < 0) {
        m_temp.clear();
        return false;
    }
    m_buffer.reserve(kBufferSize);
    return true;
}

void ArchiveFile::write(const void* bytes, std::size_t n) {
    const char* p = static_cast<const char*>(bytes);
    m_offset += n;
    if (m_failed)
        return;
    if (m_buffer.size() + n <= kBufferSize) {
        m_buffer.append(p, n);
        return;
    }
    if (!flush() || !writeAll(m_fd, p, n))
        m_failed = true;
}

bool ArchiveFile::flush() {
    if (m_buffer.empty())
        return true;
    const bool ok = writeAll(m_fd, m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return ok;
}

bool ArchiveFile::patch(std::uint64_t at, std::string_view bytes) {
    if (m_failed || !flush()) {
        m_failed = true;
        return false;
    }
    if (::pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(at)) != static_cast<ssize_t>(bytes.size()))
        m_failed = true;
    return !m_failed;
}

bool ArchiveFile::commit() {
    if (m_failed || !flush())
        return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_temp.c_str(), m_final.c_str()) != 0)
        return false;
    m_temp.clear();
    return true;
}

} // namespace ziplib
