#pragma once

// Pieces the Windows layer's files share: path resolution, attribute storage, the sharing
// locks and the handle table. Not for the programs: they use Windows.h.

#include <windows/Windows.h>

#include <runtime/SysUtils.h>

#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>
#include <vector>

namespace win::detail {

// A Windows-form path resolved onto the host.
struct Resolved {
    std::string host;  // UTF-8 host path; empty when the drive is not in the table
    DWORD badPath = 0; // ERROR_PATH_NOT_FOUND for a drive the table lacks, else 0
};

Resolved resolve(std::string_view windowsPath);

// Resolves a path argument of a call; an empty, null or unmappable path sets the last error
// (path not found) and gives false.
bool resolveArgument(const char* path, Resolved& resolved);

// The code for a missing entry: ERROR_FILE_NOT_FOUND when its folder exists, else
// ERROR_PATH_NOT_FOUND.
DWORD missingError(const std::string& hostPath);

// The last component of a Windows-form path (after the last "\" or "/", or after "C:").
std::string_view lastComponent(std::string_view windowsPath);
// A name as the platform stores it: full stops and blanks at its end dropped.
std::string_view withoutTrailingDotsAndBlanks(std::string_view name);
// ERROR_INVALID_NAME when the last component of `windowsPath` is no name a new entry may
// have (IsValidFileName), else 0. Every call that makes a file or folder asks this first.
DWORD checkNewName(std::string_view windowsPath);

// A line (or part of one) of a registry export file without its leading blanks and tabs and its
// trailing blanks, tabs and carriage returns (what is left of a CRLF end once split at LF).
inline std::string_view trimRegistryText(std::string_view text) {
    return rtl::TrimRightOf(rtl::TrimLeftOf(text, " \t"), " \t\r");
}

// The host folder part (without the last component) and the last component.
std::string hostParent(const std::string& hostPath);
std::string hostBaseName(const std::string& hostPath);

// The drive table: each letter with its host folder, C: always among them.
struct DriveRoot {
    char letter;
    std::string root; // absolute host folder, no trailing "/" except for "/" itself
};
std::vector<DriveRoot> drives();

// Is this host folder the root of a drive in the table (where "." and ".." are not listed)?
bool isDriveRoot(const std::string& hostPath);

// Attributes of an entry whose stat is known; `name` is its host name (for the full-stop rule).
DWORD attributesOf(const std::string& hostPath, std::string_view name, const struct stat& st);

// The same from stored bits (-1: none) already read.
DWORD attributesFrom(long long stored, std::string_view name, const struct stat& st);

// The extended attribute that keeps the attribute bits, as Wine and Samba name it.
inline constexpr const char* kDosAttrib = "user.DOSATTRIB";

// Attribute bits kept in user.DOSATTRIB, or -1 when the entry has none (or it cannot be read).
long long storedAttributes(const std::string& hostPath);
// The same for the entry `name` of an open folder whose host path, with its final "/", is
// `prefix`; links are followed as by storedAttributes.
long long storedAttributesAt(int dirFd, const std::string& prefix, const char* name);
bool storeAttributes(const std::string& hostPath, DWORD attributes);
// The same onto an open file.
bool storeAttributes(int fd, DWORD attributes);

// Is there, on the open file, a lock of the given kind held by another open?
enum ShareByte : long long { kHasRead = 0, kHasWrite = 1, kDeniesRead = 2, kDeniesWrite = 3 };
bool otherHolds(int fd, ShareByte which);

// Whole-file read into bytes; false with errno set when it cannot be read.
bool readWholeFile(const std::string& hostPath, std::string& out);
// The same from an open file, from its current position to its end.
bool readWholeFile(int fd, std::string& out);

// UTF-16LE text (without its byte-order mark) as UTF-8, and back; a lone surrogate is kept as
// it is, so a round trip gives the same bytes.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf8ToUtf16le(std::string_view text);

// Writes `bytes` as the new content of `hostPath` so that a crash or full disk leaves either
// the old or the new file whole: temporary file in the same folder, fsync, rename over.
// Keeps an existing file's mode, owner and stored attributes. Returns 0 or an error code.
DWORD replaceFileAtomically(const std::string& hostPath, std::string_view bytes);

// The registry's folder (VL_REGISTRY, by default $HOME/.config/vl-suite/registry).
std::string registryFolder();
// Sets a string value (REG_SZ) in the export file of `root`, creating the key, the file
// (REGEDIT4) and the folder as needed; everything else in the file stays as it was, in its
// own format. Returns 0 or an error code.
DWORD writeRegistryString(HKEY root, std::string_view keyPath, std::string_view name, std::string_view value);

// The live objects behind one kind of handle, so that a stale or foreign handle is refused
// rather than followed.
template <typename T> class HandleTable {
  public:
    HANDLE add(T* object) {
        std::lock_guard lock(m_mutex);
        m_live.insert(object);
        return object;
    }
    // The object of a live handle, or null.
    T* find(HANDLE h) {
        std::lock_guard lock(m_mutex);
        auto* object = static_cast<T*>(h);
        return m_live.count(object) ? object : nullptr;
    }
    // Takes a live handle's object out of the table (the caller frees it), or gives null.
    T* take(HANDLE h) {
        std::lock_guard lock(m_mutex);
        return m_live.erase(static_cast<T*>(h)) ? static_cast<T*>(h) : nullptr;
    }

  private:
    std::mutex m_mutex;
    std::unordered_set<T*> m_live;
};

// Sets the last error and returns `result`, for one-line failure exits.
template <typename T> T fail(DWORD code, T result) {
    SetLastError(code);
    return result;
}

} // namespace win::detail
