// The drive table as the platform's drives, and short names of a layer that keeps none.

#include <windows/Windows.h>

#include "TestSupport.h"

#include <gtest/gtest.h>

using vltest::ScopedEnv;
using vltest::TempDir;

namespace {

TEST(Drives, LogicalDrivesAreTheTablesLetters) {
    TempDir dir;
    dir.MakeFolder("d");
    dir.MakeFolder("x");
    struct Case {
        std::string table;
        win::DWORD mask;
    };
    const Case cases[] = {
        {"", 1u << 2},                                                        // C: alone, the host root
        {"D=" + dir.File("d"), (1u << 2) | (1u << 3)},                        // C: is always there
        {"c=" + dir.Path() + ";X:=" + dir.File("x"), (1u << 2) | (1u << 23)}, // letters in any case
        {"A=" + dir.Path() + ";Z=" + dir.Path() + ";bad;1=/", 1u | (1u << 2) | (1u << 25)},
    };
    for (const Case& c : cases) {
        ScopedEnv drives("VL_DRIVES", c.table);
        EXPECT_EQ(win::GetLogicalDrives(), c.mask) << c.table;
    }
}

TEST(Drives, TypeOfEachRoot) {
    TempDir dir;
    dir.MakeFolder("data");
    ScopedEnv drives("VL_DRIVES", "C=" + dir.Path() + ";D=" + dir.File("data") + ";E=" + dir.File("missing"));
    struct Case {
        const char* root;
        win::DWORD type;
    };
    const Case cases[] = {
        {"C:\\", win::DRIVE_FIXED},       {"c:", win::DRIVE_FIXED},
        {"D", win::DRIVE_FIXED},          {"D:/", win::DRIVE_FIXED},
        {"E:\\", win::DRIVE_NO_ROOT_DIR},                                         // folder missing
        {"F:\\", win::DRIVE_NO_ROOT_DIR}, {"C:\\data\\", win::DRIVE_NO_ROOT_DIR}, // no root form
        {"", win::DRIVE_NO_ROOT_DIR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(win::GetDriveTypeA(c.root), c.type) << c.root;
    // The current folder's drive: outside every drive of this table, then on the default C:.
    EXPECT_EQ(win::GetDriveTypeA(nullptr), win::DRIVE_NO_ROOT_DIR);
    ScopedEnv defaultTable("VL_DRIVES", "");
    EXPECT_EQ(win::GetDriveTypeA(nullptr), win::DRIVE_FIXED);
}

TEST(ShortNames, AnExistingPathIsItsOwnShortForm) {
    TempDir dir;
    dir.Write("Długa nazwa folderu/plik z długą nazwą.txt", "x");
    ScopedEnv drives("VL_DRIVES", "C=" + dir.Path());
    const std::string path = "C:\\d\xB3uga NAZWA folderu\\plik z d\xB3ug\xB9 nazw\xB9.txt"; // Windows-1250
    char buffer[win::MAX_PATH];
    EXPECT_EQ(win::GetShortPathNameA(path.c_str(), buffer, sizeof buffer), path.size());
    EXPECT_EQ(std::string(buffer), path); // as given, letter case included
    EXPECT_EQ(win::GetShortPathNameA("C:\\", buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\");

    // Too small a buffer: the size needed, 0 byte included, and the buffer untouched.
    char small[8] = "keep";
    EXPECT_EQ(win::GetShortPathNameA(path.c_str(), small, sizeof small), path.size() + 1);
    EXPECT_STREQ(small, "keep");
    EXPECT_EQ(win::GetShortPathNameA(path.c_str(), nullptr, 0), path.size() + 1);

    // The same buffer for both, as the platform allows.
    char same[win::MAX_PATH] = "C:\\";
    EXPECT_EQ(win::GetShortPathNameA(same, same, sizeof same), 3u);
    EXPECT_STREQ(same, "C:\\");
}

TEST(ShortNames, AMissingPathHasNone) {
    TempDir dir;
    dir.MakeFolder("folder");
    ScopedEnv drives("VL_DRIVES", "C=" + dir.Path());
    struct Case {
        const char* path;
        win::DWORD error;
    };
    const Case cases[] = {
        {"C:\\folder\\missing.txt", win::ERROR_FILE_NOT_FOUND},
        {"C:\\missing\\file.txt", win::ERROR_PATH_NOT_FOUND},
        {"Q:\\file.txt", win::ERROR_PATH_NOT_FOUND}, // a drive the table lacks
        {"", win::ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        char buffer[win::MAX_PATH] = "untouched";
        EXPECT_EQ(win::GetShortPathNameA(c.path, buffer, sizeof buffer), 0u) << c.path;
        EXPECT_EQ(win::GetLastError(), c.error) << c.path;
        EXPECT_STREQ(buffer, "untouched");
    }
    EXPECT_EQ(win::GetShortPathNameA(nullptr, nullptr, 0), 0u);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

TEST(FileIdentity, TwoNamesOfOneFile) {
    TempDir dir;
    dir.Write("Data/File.txt", "twelve bytes");
    dir.Write("other.txt", "twelve bytes");
    ASSERT_EQ(::symlink(dir.File("Data/File.txt").c_str(), dir.File("link.txt").c_str()), 0);
    ASSERT_EQ(::link(dir.File("Data/File.txt").c_str(), dir.File("hard.txt").c_str()), 0);
    ScopedEnv drives("VL_DRIVES", "C=" + dir.Path());
    auto identity = [](const char* path) {
        win::HANDLE h = win::CreateFileA(path, 0, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
                                         win::OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, win::INVALID_HANDLE_VALUE) << path;
        win::BY_HANDLE_FILE_INFORMATION info;
        EXPECT_TRUE(win::GetFileInformationByHandle(h, &info)) << path;
        win::CloseHandle(h);
        return std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
                               info.nFileSizeLow, info.nNumberOfLinks);
    };
    const auto file = identity("C:\\Data\\File.txt");
    EXPECT_EQ(std::get<3>(file), 12u);
    EXPECT_EQ(std::get<4>(file), 2u);
    for (const char* other : {"c:\\DATA\\file.TXT", "C:/Data/./File.txt", "C:\\Data\\..\\Data\\File.txt",
                              "C:\\link.txt", "C:\\hard.txt"})
        EXPECT_EQ(identity(other), file) << other;
    EXPECT_NE(identity("C:\\other.txt"), file);
    win::BY_HANDLE_FILE_INFORMATION info;
    EXPECT_FALSE(win::GetFileInformationByHandle(win::INVALID_HANDLE_VALUE, &info));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

} // namespace
