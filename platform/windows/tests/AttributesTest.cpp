// Attributes kept as Wine and Samba keep them, and the file operations that honour them.

#include <windows/WinSock.h>
#include <windows/Windows.h>

#include "TestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <utility>

using vltest::ScopedEnv;
using vltest::TempDir;

namespace {

class Attributes : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    void setRaw(const std::string& name, std::string_view bytes) {
        ASSERT_EQ(::setxattr(dir.File(name).c_str(), "user.DOSATTRIB", bytes.data(), bytes.size(), 0), 0);
    }
    std::string raw(const std::string& name) {
        char buf[64];
        ssize_t n = ::getxattr(dir.File(name).c_str(), "user.DOSATTRIB", buf, sizeof buf);
        return n < 0 ? "<none>" : std::string(buf, static_cast<std::size_t>(n));
    }
    mode_t mode(const std::string& name) {
        struct stat st;
        ::stat(dir.File(name).c_str(), &st);
        return st.st_mode & 0777;
    }
};

struct AttrCase {
    const char* name;
    bool folder;
    std::string stored; // "<none>": no extended attribute
    mode_t mode;
    win::DWORD expected;
};

class AttributeRead : public Attributes, public ::testing::WithParamInterface<AttrCase> {};

TEST_P(AttributeRead, FollowsTheStoredOrDefaultRule) {
    const AttrCase& c = GetParam();
    if (c.folder)
        dir.MakeFolder(c.name);
    else
        dir.Write(c.name, "data");
    if (c.stored != "<none>")
        setRaw(c.name, c.stored);
    ::chmod(dir.File(c.name).c_str(), c.mode);
    EXPECT_EQ(win::GetFileAttributesA((std::string("C:\\") + c.name).c_str()), c.expected);
}

const std::string kSambaV4 = std::string("\0\0\4\0\4\0\0\0\1\0\0\0\x26\0\0\0", 16) + std::string(16, '\0');
const std::string kSambaV3 = std::string("\0\0\3\0\3\0\0\0\x21\0\0\0", 12) + std::string(20, '\0');
const std::string kSambaTextAndV3 = std::string("0x23\0\0\3\0\3\0\0\0\x23\0\0\0\0\0\0\0", 20);

constexpr win::DWORD R = win::FILE_ATTRIBUTE_READONLY, H = win::FILE_ATTRIBUTE_HIDDEN,
                     S = win::FILE_ATTRIBUTE_SYSTEM, D = win::FILE_ATTRIBUTE_DIRECTORY,
                     A = win::FILE_ATTRIBUTE_ARCHIVE, N = win::FILE_ATTRIBUTE_NORMAL;

INSTANTIATE_TEST_SUITE_P(
    Table, AttributeRead,
    ::testing::Values(
        AttrCase{"plain.txt", false, "<none>", 0644, A}, AttrCase{".profile", false, "<none>", 0644, H | A},
        AttrCase{"ro.txt", false, "<none>", 0444, R | A}, AttrCase{"folder", true, "<none>", 0755, D},
        AttrCase{".cfg", true, "<none>", 0755, H | D}, AttrCase{"wine.txt", false, "0x22", 0644, H | A},
        AttrCase{"system.txt", false, "0x4", 0644, S}, AttrCase{"normal.txt", false, "0x0", 0644, N},
        AttrCase{".shown", false, "0x20", 0644, A}, AttrCase{"rostored.txt", false, "0x21", 0644, R | A},
        AttrCase{"rowrite.txt", false, "0x20", 0444, R | A}, AttrCase{"hiddir", true, "0x12", 0755, H | D},
        AttrCase{"samba4.txt", false, kSambaV4, 0644, S | H | A},
        AttrCase{"samba3.txt", false, kSambaV3, 0644, R | A},
        AttrCase{"sambatext.txt", false, kSambaTextAndV3, 0644, R | H | A}));

TEST_F(Attributes, SetWritesWinesTextAndThePermission) {
    dir.Write("a.txt", "x");
    ASSERT_TRUE(
        win::SetFileAttributesA("C:\\A.TXT", win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(raw("a.txt"), "0x22");
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), H | A);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\a.txt", win::FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(raw("a.txt"), "0x1");
    EXPECT_EQ(mode("a.txt") & 0222, 0u);
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), R);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\a.txt", win::FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(raw("a.txt"), "0x0");
    EXPECT_NE(mode("a.txt") & 0200, 0u);
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), win::FILE_ATTRIBUTE_NORMAL);

    dir.MakeFolder("d");
    ASSERT_TRUE(win::SetFileAttributesA("C:\\d", win::FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(raw("d"), "0x14");
    EXPECT_EQ(win::GetFileAttributesA("C:\\d"), S | D);
}

TEST_F(Attributes, MissingEntries) {
    EXPECT_EQ(win::GetFileAttributesA("C:\\none.txt"), win::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(win::GetFileAttributesA("C:\\none\\none.txt"), win::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(win::SetFileAttributesA("C:\\none.txt", 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(Attributes, ReadOnlyFileCannotBeDeleted) {
    dir.Write("ro.txt", "keep");
    ASSERT_TRUE(win::SetFileAttributesA("C:\\ro.txt", win::FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(win::DeleteFileA("C:\\ro.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.Read("ro.txt"), "keep");

    dir.Write("stored.txt", "keep");
    setRaw("stored.txt", "0x21");
    EXPECT_FALSE(win::DeleteFileA("C:\\stored.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\ro.txt", win::FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(win::DeleteFileA("C:\\RO.TXT"));
    EXPECT_FALSE(win::FileExists("C:\\ro.txt"));
}

TEST_F(Attributes, DeleteErrors) {
    dir.MakeFolder("folder");
    EXPECT_FALSE(win::DeleteFileA("C:\\nic.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(win::DeleteFileA("C:\\brak\\nic.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(win::DeleteFileA("C:\\folder"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
}

TEST_F(Attributes, FoldersMovesAndCopies) {
    EXPECT_TRUE(win::CreateDirectoryA("C:\\Nowy", nullptr));
    EXPECT_FALSE(win::CreateDirectoryA("C:\\nowy", nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(win::CreateDirectoryA("C:\\a\\b", nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(win::ForceDirectories("C:\\NOWY\\x\\y"));
    EXPECT_TRUE(win::DirectoryExists(dir.File("Nowy/x/y")));
    EXPECT_FALSE(win::RemoveDirectoryA("C:\\nowy"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_DIR_NOT_EMPTY);

    dir.Write("one.txt", "1");
    dir.Write("two.txt", "2");
    EXPECT_FALSE(win::MoveFileA("C:\\one.txt", "C:\\TWO.TXT"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(win::CopyFileA("C:\\one.txt", "C:\\two.txt", win::TRUE));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_EXISTS);
    EXPECT_TRUE(win::CopyFileA("C:\\one.txt", "C:\\two.txt", win::FALSE));
    EXPECT_EQ(dir.Read("two.txt"), "1");
    EXPECT_TRUE(win::MoveFileA("C:\\one.txt", "C:\\Nowy\\three.txt"));
    EXPECT_EQ(dir.Read("Nowy/three.txt"), "1");
    EXPECT_FALSE(win::FileExists("C:\\one.txt"));
    EXPECT_TRUE(win::FileExists("C:\\nowy\\THREE.txt"));
    EXPECT_FALSE(win::FileExists("C:\\nowy"));
    EXPECT_FALSE(win::DirectoryExists("C:\\nowy\\three.txt"));
}

// Each code the layer names, with the number hosts and logs see and the platform's text.
TEST(Errors, NumbersAndTexts) {
    struct Case {
        win::DWORD code;
        win::DWORD number;
        const char* text;
    };
    const Case cases[] = {
        {win::ERROR_SUCCESS, 0, "The operation completed successfully."},
        {win::ERROR_INVALID_FUNCTION, 1, "Incorrect function."},
        {win::ERROR_FILE_NOT_FOUND, 2, "The system cannot find the file specified."},
        {win::ERROR_PATH_NOT_FOUND, 3, "The system cannot find the path specified."},
        {win::ERROR_TOO_MANY_OPEN_FILES, 4, "The system cannot open the file."},
        {win::ERROR_ACCESS_DENIED, 5, "Access is denied."},
        {win::ERROR_INVALID_HANDLE, 6, "The handle is invalid."},
        {win::ERROR_NOT_ENOUGH_MEMORY, 8, "Not enough storage is available to process this command."},
        {win::ERROR_INVALID_DATA, 13, "The data is invalid."},
        {win::ERROR_NOT_SAME_DEVICE, 17, "The system cannot move the file to a different disk drive."},
        {win::ERROR_NO_MORE_FILES, 18, "There are no more files."},
        {win::ERROR_WRITE_PROTECT, 19, "The media is write protected."},
        {win::ERROR_NOT_READY, 21, "The device is not ready."},
        {win::ERROR_WRITE_FAULT, 29, "The system cannot write to the specified device."},
        {win::ERROR_GEN_FAILURE, 31, "A device attached to the system is not functioning."},
        {win::ERROR_SHARING_VIOLATION, 32,
         "The process cannot access the file because it is being used by another process."},
        {win::ERROR_LOCK_VIOLATION, 33,
         "The process cannot access the file because another process has locked a portion of the file."},
        {win::ERROR_HANDLE_DISK_FULL, 39, "The disk is full."},
        {win::ERROR_FILE_EXISTS, 80, "The file exists."},
        {win::ERROR_INVALID_PARAMETER, 87, "The parameter is incorrect."},
        {win::ERROR_DISK_FULL, 112, "There is not enough space on the disk."},
        {win::ERROR_INSUFFICIENT_BUFFER, 122, "The data area passed to a system call is too small."},
        {win::ERROR_INVALID_NAME, 123, "The filename, directory name, or volume label syntax is incorrect."},
        {win::ERROR_DIR_NOT_EMPTY, 145, "The directory is not empty."},
        {win::ERROR_ALREADY_EXISTS, 183, "Cannot create a file when that file already exists."},
        {win::ERROR_FILENAME_EXCED_RANGE, 206, "The filename or extension is too long."},
        {win::ERROR_MORE_DATA, 234, "More data is available."},
        {win::ERROR_DIRECTORY, 267, "The directory name is invalid."},
        {win::ERROR_IO_DEVICE, 1117, "The request could not be performed because of an I/O device error."},
        {win::WSAEINTR, 10004, "A blocking operation was interrupted by a call to WSACancelBlockingCall."},
        {win::WSAEACCES, 10013,
         "An attempt was made to access a socket in a way forbidden by its access permissions."},
        {win::WSAEDESTADDRREQ, 10039, "A destination address is required."},
        {win::WSAEADDRINUSE, 10048,
         "Only one usage of each socket address (protocol/network address/port) is normally permitted."},
        {win::WSAENETDOWN, 10050, "A socket operation encountered a dead network."},
        {win::WSAENETUNREACH, 10051, "A socket operation was attempted to an unreachable network."},
        {win::WSAECONNABORTED, 10053,
         "An established connection was aborted by the software in your host machine."},
        {win::WSAECONNRESET, 10054, "An existing connection was forcibly closed by the remote host."},
        {win::WSAETIMEDOUT, 10060,
         "A connection attempt failed because the connected party did not properly respond after a period of "
         "time, or established connection failed because connected host has failed to respond."},
        {win::WSAECONNREFUSED, 10061,
         "No connection could be made because the target machine actively refused it."},
        {win::WSAEHOSTUNREACH, 10065, "A socket operation was attempted to an unreachable host."},
        {win::WSANOTINITIALISED, 10093,
         "Either the application has not called WSAStartup, or WSAStartup failed."},
        {win::WSAHOST_NOT_FOUND, 11001, "No such host is known."},
        {win::WSATRY_AGAIN, 11002,
         "This is usually a temporary error during hostname resolution and means that the local server did "
         "not "
         "receive a response from an authoritative server."},
        {9999, 9999, ""}, // a code without a text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.code, c.number);
        EXPECT_EQ(win::SysErrorMessage(c.code), c.text) << c.number;
    }
}

TEST(Errors, HostErrorsAsPlatformCodes) {
    const std::pair<int, win::DWORD> cases[] = {
        {0, win::ERROR_SUCCESS},
        {ENOENT, win::ERROR_FILE_NOT_FOUND},
        {ENOTDIR, win::ERROR_PATH_NOT_FOUND},
        {EACCES, win::ERROR_ACCESS_DENIED},
        {EPERM, win::ERROR_ACCESS_DENIED},
        {EISDIR, win::ERROR_ACCESS_DENIED},
        {EROFS, win::ERROR_WRITE_PROTECT},
        {EMFILE, win::ERROR_TOO_MANY_OPEN_FILES},
        {ENFILE, win::ERROR_TOO_MANY_OPEN_FILES},
        {EBADF, win::ERROR_INVALID_HANDLE},
        {ENOMEM, win::ERROR_NOT_ENOUGH_MEMORY},
        {ETXTBSY, win::ERROR_SHARING_VIOLATION},
        {EBUSY, win::ERROR_SHARING_VIOLATION},
        {EAGAIN, win::ERROR_LOCK_VIOLATION},
        {EEXIST, win::ERROR_FILE_EXISTS},
        {EINVAL, win::ERROR_INVALID_PARAMETER},
        {ENOSPC, win::ERROR_DISK_FULL},
        {EDQUOT, win::ERROR_DISK_FULL},
        {EFBIG, win::ERROR_DISK_FULL},
        {ENAMETOOLONG, win::ERROR_FILENAME_EXCED_RANGE},
        {ENOTEMPTY, win::ERROR_DIR_NOT_EMPTY},
        {EXDEV, win::ERROR_NOT_SAME_DEVICE},
        {ELOOP, win::ERROR_INVALID_NAME},
        {EIO, win::ERROR_IO_DEVICE},
        {EPROTO, win::ERROR_GEN_FAILURE}, // anything else
    };
    for (const auto& [err, code] : cases)
        EXPECT_EQ(win::ErrorFromErrno(err), code) << err;
}

TEST(Errors, LastErrorIsPerThread) {
    win::SetLastError(win::ERROR_INVALID_NAME);
    win::DWORD seenByOther = win::ERROR_GEN_FAILURE;
    std::thread([&] { seenByOther = win::GetLastError(); }).join();
    EXPECT_EQ(seenByOther, win::ERROR_SUCCESS);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
}

TEST(System, NtFamilyAndClocks) {
    win::OSVERSIONINFOA info;
    ASSERT_TRUE(win::GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, win::VER_PLATFORM_WIN32_NT);
    win::OSVERSIONINFOA wrong;
    wrong.dwOSVersionInfoSize = 4;
    EXPECT_FALSE(win::GetVersionExA(&wrong));

    std::int64_t a = 0, b = 0;
    ASSERT_TRUE(win::QueryPerformanceCounter(&a));
    ASSERT_TRUE(win::QueryPerformanceCounter(&b));
    EXPECT_GT(a, 0);
    EXPECT_GE(b, a);
    win::DWORD t0 = win::GetTickCount();
    struct timespec pause = {0, 30000000};
    ::nanosleep(&pause, nullptr);
    win::DWORD t1 = win::GetTickCount();
    EXPECT_GE(t1 - t0, 25u);
    EXPECT_LT(t1 - t0, 5000u);
}

} // namespace
