// The platform's rule for the names of new files and folders, in every call that makes one.

#include <windows/Windows.h>

#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using vltest::ScopedEnv;
using vltest::TempDir;

namespace {

struct NameCase {
    std::string name;
    bool valid;
};

class NewNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(NewNames, FollowThePlatformsRule) {
    EXPECT_EQ(win::IsValidFileName(GetParam().name), GetParam().valid) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NewNames,
    ::testing::Values(NameCase{"x.zip", true}, NameCase{"a b.zip", true}, NameCase{".hidden", true},
                      NameCase{"\xAF\xF3\xB3w.zip", true}, NameCase{"x.zip.", true}, NameCase{"x.zip . ", true},
                      NameCase{"", false}, NameCase{".", false}, NameCase{"..", false}, NameCase{" . ", false},
                      NameCase{"??.zip", false}, NameCase{"a*b", false}, NameCase{"a<b", false},
                      NameCase{"a>b", false}, NameCase{"a:b", false}, NameCase{"a\"b", false},
                      NameCase{"a|b", false}, NameCase{"a/b", false}, NameCase{"a\\b", false},
                      NameCase{"a\tb", false}, NameCase{std::string("a\0b.zip", 7), false},
                      NameCase{"a\x1F", false}, NameCase{"CON", false}, NameCase{"con.zip", false},
                      NameCase{"Nul.tar.gz", false}, NameCase{"PRN.", false}, NameCase{"AUX ", false},
                      NameCase{"com1", false}, NameCase{"COM9.txt", false}, NameCase{"LPT5", false},
                      NameCase{"COM0", true}, NameCase{"COM10", true}, NameCase{"LPT", true},
                      NameCase{"CONSOLE", true}, NameCase{"xCON", true}, NameCase{"CON_1.zip", true}));

class Creating : public ::testing::Test {
  protected:
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path()};

    bool exists(const std::string& name) { return std::filesystem::exists(dir.File(name)); }
};

TEST_F(Creating, EveryCallThatMakesAnEntryRefusesAnInvalidName) {
    dir.Write("src.txt", "x");
    win::HANDLE h = win::CreateFileA("C:\\CON.zip", win::GENERIC_WRITE, 0, nullptr, win::CREATE_NEW, 0, nullptr);
    EXPECT_EQ(h, win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_FALSE(win::CreateDirectoryA("C:\\a|b", nullptr));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_FALSE(win::CopyFileA("C:\\src.txt", "C:\\??.txt", win::FALSE));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_FALSE(win::MoveFileA("C:\\src.txt", "C:\\lpt1.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_FALSE(win::WritePrivateProfileStringA("A", "k", "v", "C:\\a*.ini"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_FALSE(win::ForceDirectories("C:\\ok\\NUL\\deeper"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_EQ(win::HostPathForNewFile("C:\\x\\a?b.zip"), "");
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    EXPECT_EQ(win::HostPathForNewFile(std::string_view("C:\\a\0b.zip", 10)), "");
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_NAME);
    // Nothing was made under any of those names, and the source is where it was.
    std::size_t entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 2u); // src.txt and the folder "ok" that ForceDirectories made first
    EXPECT_TRUE(exists("src.txt"));
}

TEST_F(Creating, TrailingFullStopsAndBlanksAreDropped) {
    win::HANDLE h = win::CreateFileA("C:\\x.zip. .", win::GENERIC_WRITE, 0, nullptr, win::CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, win::INVALID_HANDLE_VALUE);
    win::CloseHandle(h);
    EXPECT_TRUE(exists("x.zip"));
    EXPECT_TRUE(win::FileExists("C:\\x.zip..."));
    EXPECT_TRUE(win::CreateDirectoryA("C:\\folder ", nullptr));
    EXPECT_TRUE(exists("folder"));
    EXPECT_EQ(win::HostPathForNewFile("C:\\folder.\\y.txt "), dir.File("folder/y.txt"));
    // An existing file keeps being opened by a name the rule would not give a new one.
    dir.Write("a:b", "x");
    h = win::CreateFileA(("C:\\a" + std::string(":") + "b").c_str(), win::GENERIC_READ, win::FILE_SHARE_READ,
                         nullptr, win::OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, win::INVALID_HANDLE_VALUE);
    win::CloseHandle(h);
}

} // namespace
