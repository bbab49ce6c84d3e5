// Attributes kept as Wine and Samba keep them, and the file operations that honour them.

#include <windows/Windows.h>

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

class Attributes : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.path()};

    void setRaw(const std::string& name, std::string_view bytes) {
        ASSERT_EQ(::setxattr((dir / name).c_str(), "user.DOSATTRIB", bytes.data(), bytes.size(), 0), 0);
    }
    std::string raw(const std::string& name) {
        char buf[64];
        ssize_t n = ::getxattr((dir / name).c_str(), "user.DOSATTRIB", buf, sizeof buf);
        return n < 0 ? "<none>" : std::string(buf, static_cast<std::size_t>(n));
    }
    mode_t mode(const std::string& name) {
        struct stat st;
        ::stat((dir / name).c_str(), &st);
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
        dir.mkdir(c.name);
    else
        dir.write(c.name, "data");
    if (c.stored != "<none>")
        setRaw(c.name, c.stored);
    ::chmod((dir / c.name).c_str(), c.mode);
    EXPECT_EQ(win::GetFileAttributesA((std::string("C:\\") + c.name).c_str()), c.expected);
}

const std::string kSambaV4 = std::string("\0\0\4\0\4\0\0\0\1\0\0\0\x26\0\0\0", 16) + std::string(16, '\0');
const std::string kSambaV3 = std::string("\0\0\3\0\3\0\0\0\x21\0\0\0", 12) + std::string(20, '\0');
const std::string kSambaTextAndV3 = std::string("0x23\0\0\3\0\3\0\0\0\x23\0\0\0\0\0\0\0", 20);

INSTANTIATE_TEST_SUITE_P(
    Table, AttributeRead,
    ::testing::Values(
        AttrCase{"plain.txt", false, "<none>", 0644, 0x20}, AttrCase{".profile", false, "<none>", 0644, 0x22},
        AttrCase{"ro.txt", false, "<none>", 0444, 0x21}, AttrCase{"folder", true, "<none>", 0755, 0x10},
        AttrCase{".cfg", true, "<none>", 0755, 0x12}, AttrCase{"wine.txt", false, "0x22", 0644, 0x22},
        AttrCase{"system.txt", false, "0x4", 0644, 0x04}, AttrCase{"normal.txt", false, "0x0", 0644, 0x80},
        AttrCase{".shown", false, "0x20", 0644, 0x20}, AttrCase{"rostored.txt", false, "0x21", 0644, 0x21},
        AttrCase{"rowrite.txt", false, "0x20", 0444, 0x21}, AttrCase{"hiddir", true, "0x12", 0755, 0x12},
        AttrCase{"samba4.txt", false, kSambaV4, 0644, 0x26},
        AttrCase{"samba3.txt", false, kSambaV3, 0644, 0x21},
        AttrCase{"sambatext.txt", false, kSambaTextAndV3, 0644, 0x23}));

TEST_F(Attributes, SetWritesWinesTextAndThePermission) {
    dir.write("a.txt", "x");
    ASSERT_TRUE(
        win::SetFileAttributesA("C:\\A.TXT", win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(raw("a.txt"), "0x22");
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), 0x22u);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\a.txt", win::FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(raw("a.txt"), "0x1");
    EXPECT_EQ(mode("a.txt") & 0222, 0u);
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), 0x01u);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\a.txt", win::FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(raw("a.txt"), "0x0");
    EXPECT_NE(mode("a.txt") & 0200, 0u);
    EXPECT_EQ(win::GetFileAttributesA("C:\\a.txt"), win::FILE_ATTRIBUTE_NORMAL);

    dir.mkdir("d");
    ASSERT_TRUE(win::SetFileAttributesA("C:\\d", win::FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(raw("d"), "0x14");
    EXPECT_EQ(win::GetFileAttributesA("C:\\d"), 0x14u);
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
    dir.write("ro.txt", "keep");
    ASSERT_TRUE(win::SetFileAttributesA("C:\\ro.txt", win::FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(win::DeleteFileA("C:\\ro.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.read("ro.txt"), "keep");

    dir.write("stored.txt", "keep");
    setRaw("stored.txt", "0x21");
    EXPECT_FALSE(win::DeleteFileA("C:\\stored.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);

    ASSERT_TRUE(win::SetFileAttributesA("C:\\ro.txt", win::FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(win::DeleteFileA("C:\\RO.TXT"));
    EXPECT_FALSE(win::FileExists("C:\\ro.txt"));
}

TEST_F(Attributes, DeleteErrors) {
    dir.mkdir("folder");
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
    EXPECT_TRUE(win::DirectoryExists(dir / "Nowy/x/y"));
    EXPECT_FALSE(win::RemoveDirectoryA("C:\\nowy"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_DIR_NOT_EMPTY);

    dir.write("one.txt", "1");
    dir.write("two.txt", "2");
    EXPECT_FALSE(win::MoveFileA("C:\\one.txt", "C:\\TWO.TXT"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(win::CopyFileA("C:\\one.txt", "C:\\two.txt", win::TRUE));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_EXISTS);
    EXPECT_TRUE(win::CopyFileA("C:\\one.txt", "C:\\two.txt", win::FALSE));
    EXPECT_EQ(dir.read("two.txt"), "1");
    EXPECT_TRUE(win::MoveFileA("C:\\one.txt", "C:\\Nowy\\three.txt"));
    EXPECT_EQ(dir.read("Nowy/three.txt"), "1");
    EXPECT_FALSE(win::FileExists("C:\\one.txt"));
    EXPECT_TRUE(win::FileExists("C:\\nowy\\THREE.txt"));
    EXPECT_FALSE(win::FileExists("C:\\nowy"));
    EXPECT_FALSE(win::DirectoryExists("C:\\nowy\\three.txt"));
}

TEST(Errors, PlatformTexts) {
    EXPECT_EQ(win::SysErrorMessage(2), "The system cannot find the file specified.");
    EXPECT_EQ(win::SysErrorMessage(3), "The system cannot find the path specified.");
    EXPECT_EQ(win::SysErrorMessage(5), "Access is denied.");
    EXPECT_EQ(win::SysErrorMessage(32),
              "The process cannot access the file because it is being used by another process.");
    EXPECT_EQ(win::ErrorFromErrno(ENOENT), 2u);
    EXPECT_EQ(win::ErrorFromErrno(ENOTDIR), 3u);
    EXPECT_EQ(win::ErrorFromErrno(EACCES), 5u);
    EXPECT_EQ(win::ErrorFromErrno(ENOSPC), 112u);
    win::SetLastError(123);
    EXPECT_EQ(win::GetLastError(), 123u);
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
