// File attributes, kept where Wine and Samba keep them: the extended attribute user.DOSATTRIB,
// with read-only also as the owner's write permission.

#include "WinInternal.h"

#include <runtime/SysUtils.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace win {

namespace {

constexpr DWORD kStoredBits =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::uint32_t le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Wine writes the text "0x22"; Samba writes a text (possibly empty) ended by a 0 byte, then an
// NDR blob: version (u16), union level (u16), padding to 4, then the level's fields.
long long parseDosAttrib(const unsigned char* b, std::size_t n) {
    std::size_t textLen = 0;
    while (textLen < n && b[textLen] != 0)
        ++textLen;
    if (textLen > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
        long long v = 0;
        for (std::size_t i = 2; i < textLen; ++i) {
            int d = rtl::HexDigitValue(static_cast<char>(b[i]));
            if (d < 0)
                return -1;
            v = (v << 4) | d;
            if (v > 0xFFFFFFFFLL)
                return -1;
        }
        return v;
    }
    if (textLen == n)
        return -1;
    std::size_t off = textLen + 1;
    off = (off + 1) & ~std::size_t(1);
    if (off + 4 > n)
        return -1;
    std::uint32_t level = le16(b + off + 2);
    off = (off + 4 + 3) & ~std::size_t(3);
    switch (level) {
    case 1:
    case 2:
    case 3:
        return off + 4 <= n ? static_cast<long long>(le32(b + off)) : -1;
    case 4:
    case 5:
        return off + 8 <= n ? static_cast<long long>(le32(b + off + 4)) : -1;
    default:
        return -1;
    }
}

// getxattrat(2) reads an attribute by folder and name without walking the folder's path again
// (Linux 6.13); the C library has no wrapper for it yet.
#ifndef SYS_getxattrat
#define SYS_getxattrat 464
#endif

struct XattrArgs {
    std::uint64_t value;
    std::uint32_t size;
    std::uint32_t flags;
};

std::atomic<bool> g_noGetxattrat{false}; // set once the kernel turns out to lack the call

} // namespace

namespace detail {

long long storedAttributes(const std::string& hostPath) {
    unsigned char buf[256];
    ssize_t n = ::getxattr(hostPath.c_str(), kDosAttrib, buf, sizeof buf);
    if (n <= 0)
        return -1;
    return parseDosAttrib(buf, static_cast<std::size_t>(n));
}

long long storedAttributesAt(int dirFd, const std::string& prefix, const char* name) {
    unsigned char buf[256];
    ssize_t n = -1;
    bool done = false;
    if (!g_noGetxattrat.load(std::memory_order_relaxed)) {
        XattrArgs args{reinterpret_cast<std::uintptr_t>(buf), sizeof buf, 0};
        n = ::syscall(SYS_getxattrat, dirFd, name, 0, kDosAttrib, &args, sizeof args);
        if (n < 0 && errno == ENOSYS)
            g_noGetxattrat.store(true, std::memory_order_relaxed);
        // A filter may refuse the call itself with EPERM; the path form then answers instead.
        done = n >= 0 || (errno != ENOSYS && errno != EPERM);
    }
    if (!done) {
        std::string path;
        path.reserve(prefix.size() + std::strlen(name));
        path.append(prefix).append(name);
        n = ::getxattr(path.c_str(), kDosAttrib, buf, sizeof buf);
    }
    if (n <= 0)
        return -1;
    return parseDosAttrib(buf, static_cast<std::size_t>(n));
}

// Wine's text form, "0x22".
static std::size_t formatAttributes(DWORD attributes, char (&text)[16]) {
    return static_cast<std::size_t>(std::snprintf(text, sizeof text, "0x%x", attributes));
}

bool storeAttributes(const std::string& hostPath, DWORD attributes) {
    char text[16];
    return ::setxattr(hostPath.c_str(), kDosAttrib, text, formatAttributes(attributes, text), 0) == 0;
}

bool storeAttributes(int fd, DWORD attributes) {
    char text[16];
    return ::fsetxattr(fd, kDosAttrib, text, formatAttributes(attributes, text), 0) == 0;
}

DWORD attributesOf(const std::string& hostPath, std::string_view name, const struct stat& st) {
    return attributesFrom(storedAttributes(hostPath), name, st);
}

DWORD attributesFrom(long long stored, std::string_view name, const struct stat& st) {
    DWORD a = 0;
    if (stored >= 0) {
        a = static_cast<DWORD>(stored) & kStoredBits;
    } else {
        if (!name.empty() && name[0] == '.' && name != "." && name != "..")
            a |= FILE_ATTRIBUTE_HIDDEN;
        if (S_ISREG(st.st_mode))
            a |= FILE_ATTRIBUTE_ARCHIVE;
    }
    if (!(st.st_mode & S_IWUSR))
        a |= FILE_ATTRIBUTE_READONLY;
    if (S_ISDIR(st.st_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    return a == 0 ? FILE_ATTRIBUTE_NORMAL : a;
}

} // namespace detail

DWORD GetFileAttributesA(const char* path) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0 && ::lstat(r.host.c_str(), &st) != 0)
        return detail::fail(errno == ENOENT ? detail::missingError(r.host) : ErrorFromErrno(errno),
                            INVALID_FILE_ATTRIBUTES);
    SetLastError(ERROR_SUCCESS);
    return detail::attributesOf(r.host, detail::hostBaseName(r.host), st);
}

BOOL SetFileAttributesA(const char* path, DWORD attributes) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return FALSE;
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0)
        return detail::fail(errno == ENOENT ? detail::missingError(r.host) : ErrorFromErrno(errno), FALSE);
    const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    DWORD stored = (attributes & kStoredBits) | (S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0);

    // The write permission goes back before the attribute is written and goes away after it,
    // since a file without it refuses new extended attributes to an ordinary user.
    if (!readOnly && !(st.st_mode & S_IWUSR) && ::chmod(r.host.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return detail::fail(ErrorFromErrno(errno), FALSE);
    if (!detail::storeAttributes(r.host, stored)) {
        int err = errno;
        // Without extended attributes only read-only can be kept (in the permission).
        if (err != ENOTSUP || (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            return detail::fail(err == ENOTSUP ? ERROR_ACCESS_DENIED : ErrorFromErrno(err), FALSE);
    }
    if (readOnly && (st.st_mode & 0222) && ::chmod(r.host.c_str(), st.st_mode & 07777 & ~0222) != 0)
        return detail::fail(ErrorFromErrno(errno), FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace win
