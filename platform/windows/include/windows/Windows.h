#pragma once

// The Windows layer: the platform calls the programs and libraries make, over POSIX.
//
// Paths come in Windows form ("C:\dir\file.txt", "dir/file", "\\" or "/" as separators) and
// map onto the host file system: a drive letter through the drive table (VL_DRIVES), a host
// absolute path as it is, a relative path against the current folder. A component that does
// not exist as written is looked up without regard to letter case; full stops and blanks at
// the end of a component are dropped, as the platform drops them. Names on the programs' side
// are Windows-1250; host names are UTF-8. Every call sets the thread's last error code with the
// platform's numbers.
//
// Environment:
//   VL_DRIVES    the drive table, "C=/;D=/mnt/data" (letter, "=", host folder; ";" between).
//                C: is the host root "/" unless the table names it. Read on every call.
//   VL_REGISTRY  folder of the registry export files (HKEY_CURRENT_USER.reg, ...);
//                default $HOME/.config/vl-suite/registry.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using BYTE = std::uint8_t;
using HANDLE = void*;
using HKEY = std::uintptr_t;
using REGSAM = DWORD;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD MAX_PATH = 260;

// Error codes, as the platform numbers them.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_NOT_READY = 21;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_LOCK_VIOLATION = 33;
inline constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_IO_DEVICE = 1117;

DWORD GetLastError();
void SetLastError(DWORD code);
// The platform's English text for an error code ("The system cannot find the file specified."),
// WinSock's numbers (WinSock.h) among them.
std::string SysErrorMessage(DWORD code);
// The platform error code for a POSIX errno value.
DWORD ErrorFromErrno(int err);

// ---- Paths ----------------------------------------------------------------------------

// The host (UTF-8, POSIX) path for a Windows-form path, each existing component matched
// without regard to case; components that do not exist are kept as written (converted).
// "." and ".." are taken lexically, never above a drive's root. Empty for a drive the table
// lacks (the calls then fail with ERROR_PATH_NOT_FOUND).
std::string HostPath(std::string_view windowsPath);
// The Windows form of a host path (drive letter when the drive table covers it, backslashes,
// Windows-1250 text with "?" for characters the code page lacks).
std::string WindowsPath(std::string_view hostPath);
// Whether a new file or folder may have this name (one component, Windows-1250): not when,
// with the full stops and blanks at its end dropped (as the platform drops them), it is empty,
// holds a character below 32 or one of < > : " / \ | ? *, or is a device name (CON, PRN, AUX,
// NUL, COM1-COM9, LPT1-LPT9, with or without an extension). The calls below that make a file or
// folder refuse such a name with ERROR_INVALID_NAME.
bool IsValidFileName(std::string_view name);
// The host path for a file that is about to be made at `windowsPath`, for code that writes the
// file itself; empty, with ERROR_INVALID_NAME or the path's error, when the platform would not
// make it there.
std::string HostPathForNewFile(std::string_view windowsPath);
// GetModuleFileNameA of the running program, in Windows form ("C:\work\build\bin\VL_PAK32").
std::string ProgramPath();
// The current folder in Windows form.
std::string GetCurrentDirectory();
// Makes `path` the process's current folder; false (ERROR_PATH_NOT_FOUND, ERROR_DIRECTORY...)
// when it is no folder that can be entered.
BOOL SetCurrentDirectoryA(const char* path);

// ---- Drives and short names ------------------------------------------------------------

inline constexpr DWORD DRIVE_UNKNOWN = 0, DRIVE_NO_ROOT_DIR = 1, DRIVE_REMOVABLE = 2, DRIVE_FIXED = 3,
                       DRIVE_REMOTE = 4, DRIVE_CDROM = 5, DRIVE_RAMDISK = 6;

// Bit n set for each drive letter 'A' + n of the drive table.
DWORD GetLogicalDrives();
// The kind of the drive whose root ("C:\", "C:" or "C") is given, from the file system its host
// folder lies on; DRIVE_NO_ROOT_DIR for a letter the table lacks or a folder that is missing.
// A null root asks for the current folder's drive.
DWORD GetDriveTypeA(const char* rootPathName);
// The layer keeps no 8.3 names (as a volume with short-name generation turned off): the short
// form of an existing path is the path itself, as given. A missing path gives 0 with
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND. Returns the length copied, or the size needed
// (0 byte included) when `size` is too small.
DWORD GetShortPathNameA(const char* longPath, char* shortPath, DWORD size);

// ---- Files and attributes -----------------------------------------------------------

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_VOLUME = 0x08; // volume label (never on a host entry)
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

DWORD GetFileAttributesA(const char* path);
BOOL SetFileAttributesA(const char* path, DWORD attributes);
BOOL DeleteFileA(const char* path); // a read-only file: ERROR_ACCESS_DENIED
BOOL CreateDirectoryA(const char* path, void* securityAttributes);
BOOL RemoveDirectoryA(const char* path);
BOOL MoveFileA(const char* from, const char* to);
BOOL CopyFileA(const char* from, const char* to, BOOL failIfExists);
bool FileExists(std::string_view path); // an existing entry that is not a folder
bool DirectoryExists(std::string_view path);
// Creates a folder and its missing parents; false when it cannot.
bool ForceDirectories(std::string_view path);

// Makes a new file at `windowsPath` from the bytes that `write` puts into the descriptor it is
// given, so that nothing shows under the name until they are all there and on disk (the file
// and its folder flushed). False, with the last error, when the name is invalid
// (ERROR_INVALID_NAME), the file exists (ERROR_FILE_EXISTS), the folder is missing or `write`
// gives false; nothing is left behind then.
bool WriteNewFile(std::string_view windowsPath, const std::function<bool(int fd)>& write);

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD GENERIC_ALL = 0x10000000;
inline constexpr DWORD FILE_READ_DATA = 0x1;
inline constexpr DWORD FILE_WRITE_DATA = 0x2;
inline constexpr DWORD FILE_APPEND_DATA = 0x4;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;

// Opens a file with the platform's sharing rules among the processes that use this layer:
// an open that denies writing fails with ERROR_SHARING_VIOLATION while another open holds
// write access, and an open for writing fails while another open denies writing.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
// The low 32 bits of the size (the high ones into `high` when given); INVALID_FILE_SIZE when the
// handle is not an open file.
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
DWORD GetFileSize(HANDLE file, DWORD* high);
BOOL CloseHandle(HANDLE handle);

// What identifies an open file: two handles with equal volume serial number and file index
// are the same file, whatever the spelling, letter case or link they were opened through.
struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes = 0;
    std::int64_t ftLastWriteTime = 0; // seconds since the Unix epoch
    DWORD dwVolumeSerialNumber = 0;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD nNumberOfLinks = 0;
    DWORD nFileIndexHigh = 0;
    DWORD nFileIndexLow = 0;
};
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);

// ---- Directory search -----------------------------------------------------------------

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    std::int64_t ftLastWriteTime = 0; // seconds since the Unix epoch
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    char cFileName[MAX_PATH] = {}; // Windows-1250, "?" for characters the code page lacks
    char cAlternateFileName[14] = {};
};

// First/next/close search over "folder\mask": DOS wildcards, letter case ignored, "." and ".."
// yielded first as the platform does, every entry with its attributes.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

// The entries a search over "folder\mask" yields, in its order with "." and "..", each with only
// whether it is a folder: nothing else is looked up, so a walk over a large tree costs little
// more than reading its folders. False, with the last error the search would set, when there
// is none.
struct FolderEntry {
    std::string name; // Windows-1250, as cFileName
    bool folder = false;
};
bool ListFolder(const char* pattern, std::vector<FolderEntry>& entries);

// Does `name` match the DOS wildcard `mask` (letter case ignored)?
bool MatchesMask(std::string_view name, std::string_view mask);

// The toolkit's attribute-filtered search (FindFirst/FindNext/FindClose with an attribute
// set): hidden, system and folder entries are yielded only when the set holds them; files
// that are read-only or archived always are.
inline constexpr int faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faVolumeID = 0x08,
                     faDirectory = 0x10, faArchive = 0x20, faAnyFile = 0x3F;

struct TSearchRec {
    std::int64_t Time = 0;
    std::int64_t Size = 0;
    int Attr = 0;
    std::string Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA FindData;
};

// 0 when an entry was found, otherwise the platform's error code.
int FindFirst(std::string_view path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// ---- Private profile (INI) files --------------------------------------------------------
// Nothing is cached: every read reads the file and every write replaces it whole (temporary
// file in the same folder, fsync, rename) before returning, keeping every other byte. A null
// section lists the section names, a null key the section's keys (each ended by a 0 byte).
// Write: a null value deletes the key, a null key the section, all nulls is the flush (TRUE).
// A read-only file gives ERROR_ACCESS_DENIED, a missing folder ERROR_PATH_NOT_FOUND.

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* returned,
                               DWORD size, const char* fileName);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

// ---- Registry (read only) ---------------------------------------------------------------
// Export files, one per root key, in VL_REGISTRY: "REGEDIT4" or "Windows Registry Editor
// Version 5.00" (UTF-16LE). Opening for writing gives ERROR_ACCESS_DENIED; nothing is created.

inline const HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline const HKEY HKEY_CURRENT_USER = 0x80000001;
inline const HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline const HKEY HKEY_USERS = 0x80000003;
inline const HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
inline const HKEY HKEY_CURRENT_CONFIG = 0x80000005;
inline const HKEY HKEY_DYN_DATA = 0x80000006;

inline constexpr REGSAM KEY_SET_VALUE = 0x0002, KEY_CREATE_SUB_KEY = 0x0004, KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019, KEY_WRITE = 0x20006;
inline constexpr DWORD REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
                       REG_MULTI_SZ = 7, REG_QWORD = 11;

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegCloseKey(HKEY key);

// ---- Desktop wallpaper -------------------------------------------------------------------
// SPI_SETDESKWALLPAPER: pvParam is the picture's path (Windows form, zero-terminated). With
// SPIF_UPDATEINIFILE the path is stored as the value Wallpaper of HKEY_CURRENT_USER\Control
// Panel\Desktop (the one registry write; the export file is created as REGEDIT4 when missing).
// The running desktop gets the picture when XDG_CURRENT_DESKTOP names GNOME, Unity, Budgie,
// Cinnamon or Pantheon (GSettings org.gnome.desktop.background picture-uri and
// picture-uri-dark) or XFCE (xfconf-query, every last-image); others only have it stored.

using UINT = unsigned int;
inline constexpr UINT SPI_SETDESKWALLPAPER = 20;
inline constexpr UINT SPIF_UPDATEINIFILE = 0x01, SPIF_SENDWININICHANGE = 0x02;

BOOL SystemParametersInfoA(UINT action, UINT param, void* pvParam, UINT winIni);

// ---- System information -----------------------------------------------------------------

inline constexpr DWORD VER_PLATFORM_WIN32s = 0, VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

// Reports the NT family (platform id 2), version 5.1 build 2600.
BOOL GetVersionExA(OSVERSIONINFOA* info);
// CLOCK_MONOTONIC in nanoseconds; the frequency is therefore 10^9 counts per second.
BOOL QueryPerformanceCounter(std::int64_t* count);
BOOL QueryPerformanceFrequency(std::int64_t* frequency);
// Milliseconds of CLOCK_MONOTONIC, wrapping at 2^32 as the platform's tick does.
DWORD GetTickCount();

} // namespace win
