// File operations with the platform's rules: read-only files refuse deletion and writing,
// error codes as the platform numbers them, whole-file replacement that never leaves half a file.

#include "WinInternal.h"

#include <runtime/Cp1250.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/time.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace win {

namespace {

DWORD failFor(const std::string& host, int err) {
    return err == ENOENT ? detail::missingError(host) : ErrorFromErrno(err);
}

bool isReadOnly(const std::string& host, const struct stat& st) {
    return detail::attributesOf(host, detail::hostBaseName(host), st) & FILE_ATTRIBUTE_READONLY;
}

mode_t processUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned mask;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(f);
                return static_cast<mode_t>(mask);
            }
        }
        std::fclose(f);
    }
    return 022;
}

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Copies the bytes, mode, stored attributes and modification time of `from` onto `to`.
DWORD copyContent(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return failFor(from, errno);
    struct stat st;
    ::fstat(in, &st);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        int err = errno;
        ::close(in);
        return failFor(to, err);
    }
    char buf[65536];
    DWORD result = ERROR_SUCCESS;
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !writeAll(out, buf, static_cast<std::size_t>(n)))) {
            result = ErrorFromErrno(errno);
            break;
        }
        if (n == 0)
            break;
    }
    char attr[256];
    ssize_t an = ::fgetxattr(in, detail::kDosAttrib, attr, sizeof attr);
    if (an > 0)
        ::fsetxattr(out, detail::kDosAttrib, attr, static_cast<std::size_t>(an), 0);
    ::fchmod(out, st.st_mode & 07777);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    ::close(in);
    if (::close(out) != 0 && result == ERROR_SUCCESS)
        result = ErrorFromErrno(errno);
    return result;
}

// Removes the temporary files that an earlier write of the same file left behind when it was
// killed between writing and renaming: those that no open holds locked.
void removeStaleTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent* e = ::readdir(dir)) {
        std::string_view name(e->d_name);
        if (!name.starts_with(prefix) || name.size() != prefix.size() + 6)
            continue;
        int fd = ::openat(::dirfd(dir), e->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        struct flock probe = {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_UNLCK)
            ::unlinkat(::dirfd(dir), e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

namespace detail {

bool readWholeFile(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool readWholeFile(const std::string& hostPath, std::string& out) {
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = readWholeFile(fd, out);
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

DWORD replaceFileAtomically(const std::string& hostPath, std::string_view bytes) {
    // Write through a symbolic link to the file it names, not over the link.
    std::string target = hostPath;
    if (char* real = ::realpath(hostPath.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const long long stored = existed ? storedAttributes(target) : -1;

    const std::string folder = hostParent(target);
    const std::string tempPrefix = "." + hostBaseName(target) + ".vltmp.";
    removeStaleTemporaries(folder, tempPrefix);
    std::string temp;
    int fd = -1;
    for (;;) {
        temp = folder + "/" + tempPrefix + "XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0)
            return ErrorFromErrno(errno);
        // The lock tells other writers that this file is in use; one of them may have taken it
        // for stale in the instant before the lock, so it must still be there once locked.
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        ::fcntl(fd, F_OFD_SETLK, &whole);
        struct stat self;
        if (::fstat(fd, &self) != 0 || self.st_nlink > 0)
            break;
        ::close(fd);
    }
    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return ErrorFromErrno(err);
    };
    if (!writeAll(fd, bytes.data(), bytes.size()))
        return abandon(errno);
    if (stored >= 0)
        storeAttributes(fd, static_cast<DWORD>(stored));
    if (existed) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // An ordinary user cannot give the file away; it stays theirs.
        }
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        ::fchmod(fd, 0666 & ~processUmask());
    }
    if (::fsync(fd) != 0)
        return abandon(errno);
    // Renamed while still open, so that the lock guards the file until it has its name.
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return abandon(errno);
    if (::close(fd) != 0)
        return ErrorFromErrno(errno);
    int dir = ::open(hostParent(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return ERROR_SUCCESS;
}

} // namespace detail

BOOL DeleteFileA(const char* path) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return FALSE;
    struct stat st;
    if (::lstat(r.host.c_str(), &st) != 0)
        return detail::fail(failFor(r.host, errno), FALSE);
    if (S_ISDIR(st.st_mode))
        return detail::fail(ERROR_ACCESS_DENIED, FALSE);
    struct stat target;
    if (::stat(r.host.c_str(), &target) == 0 && !S_ISLNK(st.st_mode) && isReadOnly(r.host, target))
        return detail::fail(ERROR_ACCESS_DENIED, FALSE);
    if (::unlink(r.host.c_str()) != 0)
        return detail::fail(failFor(r.host, errno), FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL CreateDirectoryA(const char* path, void* /*securityAttributes*/) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return FALSE;
    if (DWORD bad = detail::checkNewName(path))
        return detail::fail(bad, FALSE);
    if (::mkdir(r.host.c_str(), 0777) != 0) {
        int err = errno;
        if (err == EEXIST)
            return detail::fail(ERROR_ALREADY_EXISTS, FALSE);
        return detail::fail(err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err), FALSE);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL RemoveDirectoryA(const char* path) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return FALSE;
    struct stat st;
    if (::lstat(r.host.c_str(), &st) != 0)
        return detail::fail(failFor(r.host, errno), FALSE);
    if (!S_ISDIR(st.st_mode))
        return detail::fail(ERROR_DIRECTORY, FALSE);
    if (::rmdir(r.host.c_str()) != 0)
        return detail::fail(ErrorFromErrno(errno), FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL MoveFileA(const char* from, const char* to) {
    detail::Resolved a, b;
    if (!detail::resolveArgument(from, a) || !detail::resolveArgument(to, b))
        return FALSE;
    if (DWORD bad = detail::checkNewName(to))
        return detail::fail(bad, FALSE);
    struct stat st;
    if (::lstat(a.host.c_str(), &st) != 0)
        return detail::fail(failFor(a.host, errno), FALSE);
    if (::renameat2(AT_FDCWD, a.host.c_str(), AT_FDCWD, b.host.c_str(), RENAME_NOREPLACE) == 0) {
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    int err = errno;
    if (err == EEXIST)
        return detail::fail(ERROR_ALREADY_EXISTS, FALSE);
    if (err == EXDEV && S_ISREG(st.st_mode)) {
        // Another file system: the platform copies a file and removes the original.
        struct stat there;
        if (::lstat(b.host.c_str(), &there) == 0)
            return detail::fail(ERROR_ALREADY_EXISTS, FALSE);
        DWORD copied = copyContent(a.host, b.host);
        if (copied != ERROR_SUCCESS) {
            ::unlink(b.host.c_str());
            return detail::fail(copied, FALSE);
        }
        ::unlink(a.host.c_str());
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    return detail::fail(err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err), FALSE);
}

BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists) {
    detail::Resolved a, b;
    if (!detail::resolveArgument(from, a) || !detail::resolveArgument(to, b))
        return FALSE;
    if (DWORD bad = detail::checkNewName(to))
        return detail::fail(bad, FALSE);
    struct stat st;
    if (::stat(a.host.c_str(), &st) != 0)
        return detail::fail(failFor(a.host, errno), FALSE);
    if (S_ISDIR(st.st_mode))
        return detail::fail(ERROR_ACCESS_DENIED, FALSE);
    struct stat there;
    if (::stat(b.host.c_str(), &there) == 0) {
        if (failIfExists)
            return detail::fail(ERROR_FILE_EXISTS, FALSE);
        if (S_ISDIR(there.st_mode) || isReadOnly(b.host, there))
            return detail::fail(ERROR_ACCESS_DENIED, FALSE);
        if (there.st_dev == st.st_dev && there.st_ino == st.st_ino)
            return detail::fail(ERROR_SHARING_VIOLATION, FALSE);
    }
    DWORD result = copyContent(a.host, b.host);
    if (result != ERROR_SUCCESS)
        return detail::fail(result, FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

namespace {

// A file with no name yet in `folder`. `tmpName` is set when the system cannot make a nameless
// file and a hidden named one stands in.
int openNameless(const std::string& folder, std::string& tmpName) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0)
        return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return -1;
    tmpName = folder + "/.vlnew-XXXXXX";
    fd = ::mkostemp(tmpName.data(), O_CLOEXEC);
    if (fd >= 0)
        ::fchmod(fd, 0666 & ~processUmask());
    return fd;
}

// Gives the finished file its name; fails, leaving nothing, when the name is taken.
int publish(int fd, const std::string& tmpName, const std::string& target) {
    int rc;
    if (tmpName.empty()) {
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
        rc = ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW);
    } else {
        rc = ::link(tmpName.c_str(), target.c_str());
    }
    return rc == 0 ? 0 : errno;
}

} // namespace

bool WriteNewFile(std::string_view windowsPath, const std::function<bool(int fd)>& write) {
    const std::string target = HostPathForNewFile(windowsPath);
    if (target.empty())
        return false;
    if (target.back() == '/')
        return detail::fail(ERROR_INVALID_NAME, false);
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0)
        return detail::fail(ERROR_FILE_EXISTS, false);
    const std::string folder = detail::hostParent(target);
    std::string tmpName;
    int fd = openNameless(folder, tmpName);
    if (fd < 0)
        return detail::fail(failFor(target, errno), false);
    DWORD error = ERROR_SUCCESS;
    errno = 0;
    if (!write(fd))
        error = errno ? ErrorFromErrno(errno) : ERROR_WRITE_FAULT;
    else if (::fsync(fd) != 0)
        error = ErrorFromErrno(errno);
    else if (int err = publish(fd, tmpName, target))
        error = err == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(err);
    if (!tmpName.empty())
        ::unlink(tmpName.c_str());
    ::close(fd);
    if (error != ERROR_SUCCESS)
        return detail::fail(error, false);
    // The new name is on disk only once its folder is.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool flushed = ::fsync(dir) == 0;
        const int err = errno;
        ::close(dir);
        if (!flushed)
            return detail::fail(ErrorFromErrno(err), false);
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

namespace {

// The kind of an existing entry: 1 a folder, 0 anything else, -1 nothing there.
int entryKind(std::string_view path) {
    if (path.empty())
        return -1;
    auto r = detail::resolve(path);
    struct stat st;
    if (r.badPath || ::stat(r.host.c_str(), &st) != 0)
        return -1;
    return S_ISDIR(st.st_mode) ? 1 : 0;
}

} // namespace

bool FileExists(std::string_view path) {
    return entryKind(path) == 0;
}

bool DirectoryExists(std::string_view path) {
    return entryKind(path) == 1;
}

bool ForceDirectories(std::string_view path) {
    if (path.empty())
        return false;
    auto r = detail::resolve(path);
    if (r.badPath)
        return detail::fail(r.badPath, false);
    // Existing components were matched by the resolution; the missing ones are made in turn.
    std::string cur;
    std::size_t i = 0;
    const std::string& p = r.host;
    while (i <= p.size()) {
        std::size_t j = p.find('/', i == 0 ? 1 : i);
        if (j == std::string::npos)
            j = p.size();
        cur = p.substr(0, j);
        i = j + 1;
        if (cur.empty() || cur == "/")
            continue;
        struct stat st;
        if (::stat(cur.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return detail::fail(ERROR_PATH_NOT_FOUND, false);
            continue;
        }
        if (!IsValidFileName(rtl::utf8ToCp1250(detail::hostBaseName(cur))))
            return detail::fail(ERROR_INVALID_NAME, false);
        if (::mkdir(cur.c_str(), 0777) != 0 && errno != EEXIST)
            return detail::fail(ErrorFromErrno(errno), false);
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace win
