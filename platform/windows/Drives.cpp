// The drive table seen as the platform's drives, and short names (the layer keeps none).

#include "WinInternal.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <sys/vfs.h>
#include <unistd.h>

namespace win {

namespace {

// The letter a root text names ("C:\", "C:", "C"), or 0.
char rootLetter(std::string_view root) {
    const bool form = (root.size() == 1) || (root.size() == 2 && root[1] == ':') ||
                      (root.size() == 3 && root[1] == ':' && (root[2] == '\\' || root[2] == '/'));
    if (!form || !std::isalpha(static_cast<unsigned char>(root[0])))
        return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
}

// The platform's kind for the file system a host folder lies on.
DWORD kindOf(const struct statfs& fs) {
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
        return DRIVE_REMOTE;
    case 0x9660:     // ISO 9660
    case 0x15013346: // UDF
        return DRIVE_CDROM;
    default:
        return DRIVE_FIXED;
    }
}

} // namespace

DWORD GetLogicalDrives() {
    DWORD mask = 0;
    for (const auto& d : detail::drives())
        mask |= DWORD(1) << (d.letter - 'A');
    SetLastError(ERROR_SUCCESS);
    return mask;
}

DWORD GetDriveTypeA(const char* rootPathName) {
    const std::string current = rootPathName ? std::string() : GetCurrentDirectory();
    const char letter =
        rootLetter(rootPathName ? std::string_view(rootPathName) : std::string_view(current).substr(0, 2));
    if (!letter)
        return DRIVE_NO_ROOT_DIR;
    for (const auto& d : detail::drives()) {
        if (d.letter != letter)
            continue;
        struct stat st;
        struct statfs fs;
        if (::stat(d.root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::statfs(d.root.c_str(), &fs) != 0)
            return DRIVE_NO_ROOT_DIR;
        return kindOf(fs);
    }
    return DRIVE_NO_ROOT_DIR;
}

BOOL SetCurrentDirectoryA(const char* path) {
    detail::Resolved r;
    if (!detail::resolveArgument(path, r))
        return FALSE;
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0)
        return detail::fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno), FALSE);
    if (!S_ISDIR(st.st_mode))
        return detail::fail(ERROR_DIRECTORY, FALSE);
    if (::chdir(r.host.c_str()) != 0)
        return detail::fail(ErrorFromErrno(errno), FALSE);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetShortPathNameA(const char* longPath, char* shortPath, DWORD size) {
    if (!longPath)
        return detail::fail(ERROR_INVALID_PARAMETER, DWORD(0));
    detail::Resolved r;
    if (!detail::resolveArgument(longPath, r))
        return 0;
    struct stat st;
    if (::stat(r.host.c_str(), &st) != 0)
        return detail::fail(errno == ENOENT ? detail::missingError(r.host) : ErrorFromErrno(errno), DWORD(0));
    const std::size_t length = std::strlen(longPath);
    SetLastError(ERROR_SUCCESS);
    if (!shortPath || size <= length)
        return static_cast<DWORD>(length + 1);
    std::memmove(shortPath, longPath, length + 1); // the platform allows the same buffer for both
    return static_cast<DWORD>(length);
}

} // namespace win
