// The copy, folder and path exports as a host calls them: paths through the drive table, real
// files, compressed files made by Debian's mscompress.

#include "HostLibrary.h"
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace hosttest;
namespace fs = std::filesystem;

namespace {

// A temporary folder that is drive C: for the test's length.
class PathExports : public ::testing::Test {
  protected:
    std::string Host(std::string_view relative) const { return dir.File(relative); }

    vltest::TempDir dir{"vl_paths"};
    const std::string root = dir.Path();
    vltest::ScopedEnv drives{"VL_DRIVES", "C=" + root};
    HostLibrary library;
    decltype(&::GetLongPath) getLongPath = library.Export<decltype(::GetLongPath)>("GetLongPath");
    decltype(&::GetLongName) getLongName = library.Export<decltype(::GetLongName)>("GetLongName");
    decltype(&::ForceCreateDir) forceCreateDir = library.Export<decltype(::ForceCreateDir)>("ForceCreateDir");
    decltype(&::ForceCopyFile) forceCopyFile = library.Export<decltype(::ForceCopyFile)>("ForceCopyFile");
};

// ---- Path parts ----

struct PartsCase {
    const char* path;
    const char* folder;
    const char* name;
};

class PathParts : public PathExports, public ::testing::WithParamInterface<PartsCase> {};

TEST_P(PathParts, SplitAsGivenWithModeAboveZero) {
    const PartsCase& c = GetParam();
    EXPECT_STREQ(getLongPath(c.path, 1), c.folder);
    EXPECT_STREQ(getLongName(c.path, 1), c.name);
    EXPECT_STREQ(getLongPath(c.path, 0x7FFFFFFF), c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathParts,
    ::testing::Values(
        PartsCase{"C:\\Data\\file.txt", "C:\\Data", "file.txt"},
        PartsCase{"C:\\file.txt", "C:\\", "file.txt"}, PartsCase{"C:file.txt", "C:", "file.txt"},
        PartsCase{"\\\\server\\share\\file.txt", "\\\\server\\share", "file.txt"},
        PartsCase{"C:\\Data\\", "C:\\Data", ""}, PartsCase{"file.txt", "", "file.txt"}, PartsCase{"", "", ""},
        PartsCase{"\\file.txt", "\\", "file.txt"}, PartsCase{"C:\\", "C:\\", ""},
        // the separator the Windows layer also takes
        PartsCase{"/home/user/plik.txt", "/home/user", "plik.txt"}, PartsCase{"/plik.txt", "/", "plik.txt"},
        PartsCase{"C:\\D\xB9\\\xBF\xF3\xB3w.txt", "C:\\D\xB9", "\xBF\xF3\xB3w.txt"}));

TEST_F(PathExports, ModeZeroSplitsTheShortFormWhichIsThePathWhenItExists) {
    dir.Write("Dane firmy/Raport roczny.txt", "x");
    // No 8.3 names: an existing path is its own short form, as given.
    for (std::int32_t mode : {0, -1}) {
        EXPECT_STREQ(getLongPath("C:\\Dane firmy\\Raport roczny.txt", mode), "C:\\Dane firmy");
        EXPECT_STREQ(getLongName("c:\\DANE FIRMY\\raport roczny.txt", mode), "raport roczny.txt");
        EXPECT_STREQ(getLongPath("C:\\Dane firmy\\", mode), "C:\\Dane firmy");
        // A missing path has no short form: both parts are empty.
        EXPECT_STREQ(getLongPath("C:\\Dane firmy\\brak.txt", mode), "");
        EXPECT_STREQ(getLongName("C:\\Dane firmy\\brak.txt", mode), "");
        EXPECT_STREQ(getLongName("Q:\\plik.txt", mode), "");
        EXPECT_STREQ(getLongName(nullptr, mode), "");
    }
    EXPECT_STREQ(getLongName(nullptr, 1), "");
}

TEST_F(PathExports, TheFourExportsShareOneResultBuffer) {
    const char* folder = getLongPath("C:\\Data\\file.txt", 1);
    EXPECT_STREQ(folder, "C:\\Data");
    const char* name = getLongName("C:\\Data\\file.txt", 1);
    EXPECT_EQ(name, folder);
    EXPECT_STREQ(folder, "file.txt"); // the first result is gone
    EXPECT_EQ(getLongPath("missing", 0), folder);
    EXPECT_STREQ(folder, "");
}

TEST_F(PathExports, APartLongerThanTheBufferGivesTheEmptyText) {
    const std::string fits = "C:\\" + std::string(256, 'a') + "\\f"; // folder part of 259
    const std::string over = "C:\\" + std::string(257, 'a') + "\\f"; // 260
    EXPECT_EQ(std::string(getLongPath(fits.c_str(), 1)), fits.substr(0, 259));
    EXPECT_STREQ(getLongPath(over.c_str(), 1), "");
    EXPECT_STREQ(getLongName(over.c_str(), 1), "f");
}

// ---- Folders ----

TEST_F(PathExports, ForceCreateDirRules) {
    dir.Write("plik", "a regular file");
    fs::create_directories(Host("jest"));
    struct Case {
        const char* dir;
        std::int32_t result;
        const char* made; // what exists afterwards, relative to the root; null: nothing new
    };
    const Case cases[] = {
        {"C:\\raz\\dwa\\trzy", 0, "raz/dwa/trzy"},       // three levels
        {"C:\\raz\\dwa\\trzy", -1, "raz/dwa/trzy"},      // now there
        {"c:\\RAZ\\Dwa\\cztery\\", 0, "raz/dwa/cztery"}, // letter case found, trailing backslash
        {"C:\\jest", -1, "jest"},
        {"C:\\", -1, nullptr}, // a drive root keeps its backslash
        {"", -2, nullptr},
        {nullptr, -2, nullptr},
        {"C:\\plik\\pod", -2, nullptr}, // below a regular file
        {"C:\\plik", -2, nullptr},
        {"Q:\\nowy", -2, nullptr}, // a drive the table lacks
    };
    for (const Case& c : cases) {
        EXPECT_EQ(forceCreateDir(c.dir), c.result) << (c.dir ? c.dir : "(null)");
        if (c.made) {
            EXPECT_TRUE(fs::is_directory(Host(c.made))) << c.made;
        }
    }
    EXPECT_TRUE(fs::is_regular_file(Host("plik")));
    EXPECT_FALSE(fs::exists(Host("Q:")));
}

// ---- Forced copy ----

TEST_F(PathExports, CopyCreatesTwoMissingLevels) {
    dir.Write("src/dane.dat", "content of the source");
    EXPECT_EQ(forceCopyFile("C:\\src\\dane.dat", "C:\\nowy\\drugi\\kopia.dat"), 21);
    EXPECT_EQ(dir.Read("nowy/drugi/kopia.dat"), "content of the source");
}

TEST_F(PathExports, CopyReplacesALongerFileEntirely) {
    dir.Write("krotki.txt", "short");
    dir.Write("dlugi.txt", std::string(10000, 'L'));
    EXPECT_EQ(forceCopyFile("C:\\krotki.txt", "C:\\dlugi.txt"), 5);
    EXPECT_EQ(dir.Read("dlugi.txt"), "short");
}

TEST_F(PathExports, CopyFromAMissingSourceCreatesNothing) {
    fs::create_directories(Host("src"));
    EXPECT_EQ(forceCopyFile("C:\\src\\brak.dat", "C:\\cel\\kopia.dat"), -2);  // file not found
    EXPECT_EQ(forceCopyFile("C:\\brak\\brak.dat", "C:\\cel\\kopia.dat"), -3); // path not found
    EXPECT_EQ(forceCopyFile(nullptr, "C:\\cel\\kopia.dat"), -3);
    EXPECT_FALSE(fs::exists(Host("cel")));
}

TEST_F(PathExports, CopyIntoAFolderOrNowhereFails) {
    dir.Write("a.txt", "a");
    fs::create_directories(Host("folder"));
    EXPECT_EQ(forceCopyFile("C:\\a.txt", "C:\\folder"), -5); // access denied
    EXPECT_EQ(forceCopyFile("C:\\a.txt", ""), -3);
    EXPECT_EQ(dir.Read("a.txt"), "a");
}

TEST_F(PathExports, CopyExpandsACompressedFile) {
    std::string original;
    for (int i = 0; i < 5000; ++i)
        original += "linia " + std::to_string(i % 50) + "\r\n";
    dir.Write("dane.dat", original);
    ASSERT_EQ(std::system(("mscompress '" + Host("dane.dat") + "' >/dev/null 2>&1").c_str()), 0);
    ASSERT_LT(fs::file_size(Host("dane.dat_")), original.size());
    EXPECT_EQ(forceCopyFile("C:\\dane.dat_", "C:\\rozpakowane\\dane.dat"),
              static_cast<std::int32_t>(original.size()));
    EXPECT_EQ(dir.Read("rozpakowane/dane.dat"), original);
}

TEST_F(PathExports, CopyOntoItselfWritesNothing) {
    const std::string content = "the only copy of this data";
    dir.Write("Dane/Plik.txt", content);
    ASSERT_EQ(symlink(Host("Dane/Plik.txt").c_str(), Host("dowiazanie.txt").c_str()), 0);
    ASSERT_EQ(link(Host("Dane/Plik.txt").c_str(), Host("twarde.txt").c_str()), 0);
    const std::string hostSpelling = root + "/Dane/Plik.txt";
    for (const std::string& dest :
         {std::string("C:\\Dane\\Plik.txt"), std::string("c:\\dane\\PLIK.TXT"),
          std::string("C:/Dane/./Plik.txt"), std::string("C:\\Dane\\..\\Dane\\Plik.txt"),
          std::string("C:\\dowiazanie.txt"), std::string("C:\\twarde.txt"), hostSpelling}) {
        EXPECT_EQ(forceCopyFile("C:\\Dane\\Plik.txt", dest.c_str()),
                  static_cast<std::int32_t>(content.size()))
            << dest;
        EXPECT_EQ(dir.Read("Dane/Plik.txt"), content) << dest;
    }
    // The link the other way round is the same file too.
    EXPECT_EQ(forceCopyFile("C:\\dowiazanie.txt", "C:\\Dane\\Plik.txt"),
              static_cast<std::int32_t>(content.size()));
    EXPECT_EQ(dir.Read("Dane/Plik.txt"), content);
}

} // namespace
