// Windows-form paths onto the host: drive table, separators, letter case, code page.

#include <windows/Windows.h>

#include "TestSupport.h"
#include <runtime/Cp1250.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

using vltest::ScopedEnv;
using vltest::TempDir;

using namespace rtl;

namespace {

class Paths : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("folder/FILE.TXT", "x");
        dir.Write("Readme.txt", "exact");
        dir.Write("README.TXT", "upper");
        dir.Write("Dokumenty/Łódź/Zażółć gęślą.txt", "pl"); // UTF-8 on disk
        dir.MakeFolder("data/Sub");
    }
    TempDir dir;
    ScopedEnv drives{"VL_DRIVES", "C=" + dir.Path() + ";d:=" + dir.Path() + "/data/"};
};

struct PathCase {
    std::string windows;
    std::string host; // relative to the temporary folder
};

class PathMapping : public Paths, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathMapping, FindsTheHostEntry) {
    EXPECT_EQ(win::HostPath(GetParam().windows), dir.Path() + GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathMapping,
    ::testing::Values(PathCase{"C:\\folder\\FILE.TXT", "/folder/FILE.TXT"},
                      PathCase{"c:\\FOLDER\\file.txt", "/folder/FILE.TXT"},
                      PathCase{"C:/folder\\File.Txt", "/folder/FILE.TXT"},
                      PathCase{"C:\\\\folder\\\\file.txt", "/folder/FILE.TXT"},
                      PathCase{"C:\\folder\\..\\FOLDER\\.\\file.txt", "/folder/FILE.TXT"},
                      PathCase{"C:\\..\\..\\folder\\file.txt", "/folder/FILE.TXT"},
                      // exact spelling wins; otherwise the first in byte order
                      PathCase{"C:\\Readme.txt", "/Readme.txt"}, PathCase{"C:\\README.TXT", "/README.TXT"},
                      PathCase{"C:\\readme.txt", "/README.TXT"},
                      // Windows-1250 names find their UTF-8 form, letter case ignored
                      PathCase{"C:\\dokumenty\\ŁÓDŹ\\ZAŻÓŁĆ GĘŚLĄ.TXT"_w, "/Dokumenty/Łódź/Zażółć gęślą.txt"},
                      PathCase{"C:\\Dokumenty\\łódź\\nowy.txt"_w, "/Dokumenty/Łódź/nowy.txt"},
                      // what does not exist stays as written, in UTF-8
                      PathCase{"C:\\Nowy\\Łąka\\Plik.txt"_w, "/Nowy/Łąka/Plik.txt"},
                      PathCase{"D:\\sub", "/data/Sub"}, PathCase{"d:\\", "/data"}, PathCase{"C:\\", ""}));

TEST_F(Paths, HostAbsolutePathIsTakenAsItIs) {
    EXPECT_EQ(win::HostPath(dir.Path() + "/folder/FILE.TXT"), dir.Path() + "/folder/FILE.TXT");
    EXPECT_EQ(win::HostPath(dir.Path() + "/FOLDER/file.txt"), dir.Path() + "/folder/FILE.TXT");
}

TEST_F(Paths, RelativePathIsTakenAgainstTheCurrentFolder) {
    char buf[4096];
    ASSERT_NE(::getcwd(buf, sizeof buf), nullptr);
    ASSERT_EQ(::chdir(dir.File("folder").c_str()), 0);
    std::string rel = win::HostPath("..\\FOLDER\\file.txt");
    std::string cur = win::GetCurrentDirectory();
    ASSERT_EQ(::chdir(buf), 0);
    EXPECT_EQ(rel, dir.Path() + "/folder/FILE.TXT");
    EXPECT_EQ(cur, "C:\\folder");
}

TEST_F(Paths, UnknownDriveIsPathNotFound) {
    EXPECT_EQ(win::HostPath("Q:\\x"), "");
    EXPECT_EQ(win::GetFileAttributesA("Q:\\x"), win::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(Paths, WindowsFormOfHostPaths) {
    EXPECT_EQ(win::WindowsPath(dir.Path() + "/folder/FILE.TXT"), "C:\\folder\\FILE.TXT");
    EXPECT_EQ(win::WindowsPath(dir.Path()), "C:\\");
    EXPECT_EQ(win::WindowsPath(dir.Path() + "/data/Sub"), "D:\\Sub");
    EXPECT_EQ(win::WindowsPath(dir.Path() + "/Dokumenty/Łódź"), "C:\\Dokumenty\\Łódź"_w);
    EXPECT_EQ(win::WindowsPath(dir.Path() + "/日本.txt"), "C:\\??.txt");
}

TEST(PathsDefault, ProgramPathInWindowsForm) {
    ScopedEnv defaultTable("VL_DRIVES", std::nullopt);
    char exe[4096];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string host(exe, static_cast<std::size_t>(n));
    std::string expected = "C:" + host;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    std::string program = win::ProgramPath();
    EXPECT_EQ(program, expected);
    EXPECT_EQ(win::HostPath(program), host);
    // The folder is everything up to the last backslash.
    std::string folder = program.substr(0, program.rfind('\\'));
    EXPECT_EQ(win::HostPath(folder), host.substr(0, host.rfind('/')));
    EXPECT_EQ(win::WindowsPath("/"), "C:\\");
    EXPECT_EQ(win::HostPath("C:\\"), "/");
}

} // namespace
