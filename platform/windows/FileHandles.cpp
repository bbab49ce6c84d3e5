// File handles with the platform's sharing rules among the processes that use this layer.
//
// Each open announces what it does and what it refuses others by holding shared locks on
// reserved bytes far beyond any real file size (open file description locks, so two opens in
// one process count as two, as they do on the platform):
//   2^62 + 0: has read access      2^62 + 2: denies reading to others
//   2^62 + 1: has write access     2^62 + 3: denies writing to others
// An open then checks, with a test for a conflicting exclusive lock, that nobody else holds the
// byte opposite each of its own. Both sides take their locks before they check, so of two opens
// racing each other at most one wins (possibly neither), never both.

#include "WinInternal.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace win {

namespace {

constexpr off_t kShareBase = off_t(1) << 62;

struct FileObject {
    int fd;
    std::string host; // the path it was opened through, for its attributes
};

detail::HandleTable<FileObject>& handles() {
    static detail::HandleTable<FileObject> table;
    return table;
}

FileObject* lookup(HANDLE h) {
    return handles().find(h);
}

struct flock shareByte(short type, detail::ShareByte which) {
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kShareBase + which;
    fl.l_len = 1;
    return fl;
}

bool holdShared(int fd, detail::ShareByte which) {
    struct flock fl = shareByte(F_RDLCK, which);
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

} // namespace

namespace detail {

bool otherHolds(int fd, ShareByte which) {
    struct flock fl = shareByte(F_WRLCK, which);
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0)
        return false;
    return fl.l_type != F_UNLCK;
}

} // namespace detail

HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, void* /*securityAttributes*/,
                   DWORD creationDisposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!path || !*path)
        return detail::fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING)
        return detail::fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    const bool wantRead = access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA);
    const bool wantWrite = access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA);
    const bool truncates = creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING;
    if (creationDisposition == TRUNCATE_EXISTING && !wantWrite)
        return detail::fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);

    auto r = detail::resolve(path);
    if (r.badPath)
        return detail::fail(r.badPath, INVALID_HANDLE_VALUE);
    struct stat st;
    const bool exists = ::stat(r.host.c_str(), &st) == 0;
    if (exists) {
        if (creationDisposition == CREATE_NEW)
            return detail::fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
        if (S_ISDIR(st.st_mode))
            return detail::fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
        if ((wantWrite || truncates) &&
            (detail::attributesOf(r.host, detail::hostBaseName(r.host), st) & FILE_ATTRIBUTE_READONLY))
            return detail::fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    } else if (creationDisposition == OPEN_EXISTING || creationDisposition == TRUNCATE_EXISTING) {
        return detail::fail(detail::missingError(r.host), INVALID_HANDLE_VALUE);
    } else if (DWORD bad = detail::checkNewName(path)) {
        return detail::fail(bad, INVALID_HANDLE_VALUE);
    }

    int flags = O_CLOEXEC | (wantWrite ? O_RDWR : O_RDONLY);
    if (!exists)
        flags |= O_CREAT | (creationDisposition == CREATE_NEW ? O_EXCL : 0);
    int fd = ::open(r.host.c_str(), flags, 0666);
    if (fd < 0 && errno == EACCES && wantWrite && !wantRead)
        fd = ::open(r.host.c_str(), (flags & ~O_RDWR) | O_WRONLY, 0666);
    if (fd < 0 && errno == EACCES && !wantWrite && !wantRead)
        fd = ::open(r.host.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        if (err == ENOENT)
            return detail::fail(exists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
        return detail::fail(err == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(err), INVALID_HANDLE_VALUE);
    }

    // An open without read or write access takes no part in sharing, as on the platform.
    if (wantRead || wantWrite) {
        const bool shareRead = shareMode & FILE_SHARE_READ;
        const bool shareWrite = shareMode & FILE_SHARE_WRITE;
        if (wantRead)
            holdShared(fd, detail::kHasRead);
        if (wantWrite)
            holdShared(fd, detail::kHasWrite);
        if (!shareRead)
            holdShared(fd, detail::kDeniesRead);
        if (!shareWrite)
            holdShared(fd, detail::kDeniesWrite);
        bool conflict = (wantRead && detail::otherHolds(fd, detail::kDeniesRead)) ||
                        (wantWrite && detail::otherHolds(fd, detail::kDeniesWrite)) ||
                        (!shareRead && detail::otherHolds(fd, detail::kHasRead)) ||
                        (!shareWrite && detail::otherHolds(fd, detail::kHasWrite));
        if (conflict) {
            ::close(fd);
            if (!exists)
                ::unlink(r.host.c_str());
            return detail::fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
        }
    }
    if (exists && truncates && ::ftruncate(fd, 0) != 0) {
        int err = errno;
        ::close(fd);
        return detail::fail(ErrorFromErrno(err), INVALID_HANDLE_VALUE);
    }

    HANDLE handle = handles().add(new FileObject{fd, r.host});
    const bool reportsExisting =
        exists && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* /*overlapped*/) {
    if (read)
        *read = 0;
    FileObject* obj = lookup(file);
    if (!obj)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    auto* p = static_cast<char*>(buffer);
    DWORD done = 0;
    while (done < toRead) {
        ssize_t n = ::read(obj->fd, p + done, toRead - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (read)
                *read = done;
            return detail::fail(errno == EBADF ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno), FALSE);
        }
        if (n == 0)
            break;
        done += static_cast<DWORD>(n);
    }
    if (read)
        *read = done;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* /*overlapped*/) {
    if (written)
        *written = 0;
    FileObject* obj = lookup(file);
    if (!obj)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    auto* p = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(obj->fd, p + done, toWrite - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (written)
                *written = done;
            return detail::fail(errno == EBADF ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno), FALSE);
        }
        done += static_cast<DWORD>(n);
    }
    if (written)
        *written = done;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetFileSize(HANDLE file, DWORD* high) {
    FileObject* obj = lookup(file);
    if (!obj)
        return detail::fail(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
    struct stat st;
    if (::fstat(obj->fd, &st) != 0)
        return detail::fail(ErrorFromErrno(errno), INVALID_FILE_SIZE);
    auto size = static_cast<std::uint64_t>(st.st_size);
    if (high)
        *high = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
    FileObject* obj = lookup(file);
    if (!obj)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    if (!info)
        return detail::fail(ERROR_INVALID_PARAMETER, FALSE);
    struct stat st;
    if (::fstat(obj->fd, &st) != 0)
        return detail::fail(ErrorFromErrno(errno), FALSE);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto index = static_cast<std::uint64_t>(st.st_ino);
    const auto device = static_cast<std::uint64_t>(st.st_dev);
    info->dwFileAttributes = detail::attributesOf(obj->host, detail::hostBaseName(obj->host), st);
    info->ftLastWriteTime = st.st_mtim.tv_sec;
    info->dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info->nFileSizeLow = static_cast<DWORD>(size);
    info->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    info->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    info->nFileIndexLow = static_cast<DWORD>(index);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    FileObject* obj = handles().take(handle);
    if (!obj)
        return detail::fail(ERROR_INVALID_HANDLE, FALSE);
    ::close(obj->fd);
    delete obj;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace win
